// The board's files kept in memory, for native tests and the in-process model link.
// Portable: no <windows.h>.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "varnet/board.h"

namespace vboard {

class MemoryStore : public BoardStore {
public:
    Load Read(const std::string& name, std::vector<uint8_t>& bytes) override {
        auto it = files.find(name);
        if (it == files.end())
            return Load::Missing;
        bytes = it->second;
        return Load::Ok;
    }
    bool Replace(const std::string& name, const std::vector<uint8_t>& bytes) override {
        if (readOnly)
            return false;
        files[name] = bytes;
        return true;
    }
    bool Remove(const std::string& name) override {
        if (readOnly)
            return false;
        files.erase(name);
        return true;
    }
    bool AppendLine(const std::string& name, const std::string& line) override {
        auto& log = files[name];
        log.insert(log.end(), line.begin(), line.end());
        log.push_back('\n');
        return true;
    }

    void SetText(const std::string& name, const std::string& text) { files[name].assign(text.begin(), text.end()); }
    std::string Text(const std::string& name) const {
        auto it = files.find(name);
        return it == files.end() ? std::string() : std::string(it->second.begin(), it->second.end());
    }

    std::map<std::string, std::vector<uint8_t>> files;
    bool readOnly = false;  // every write fails, as on a folder the program may not write
};

}  // namespace vboard
