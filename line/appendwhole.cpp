#include "line/appendwhole.h"

namespace core {

bool AppendWhole(AppendTarget& file, const std::string& bytes) {
    uint64_t oldLength = 0;
    if (!file.Length(oldLength))
        return false;
    size_t done = 0;
    while (done < bytes.size()) {
        const size_t written = file.WriteAtEnd(bytes.data() + done, bytes.size() - done);
        if (written == 0)
            break;
        done += written;
    }
    if (done == bytes.size() && file.Flush())
        return true;
    // A cut that fails too leaves nothing better to do: the caller reports the append failed.
    if (file.CutTo(oldLength))
        file.Flush();
    return false;
}

}  // namespace core
