// A station file is text anyone edits by hand: any bytes are read or refused, never a crash;
// a refusal names a line of the file; what is read is saved as the set-up window saves it and
// reads back to the same fields, whichever kind of folder the file lies in.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "station/stationfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const wchar_t* const kFolders[] = {L"C:\\line", L"/srv/line/", L"\\\\srv\\share", L""};
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    size_t lines = 1;
    for (char c : bytes)
        lines += c == '\n';
    for (const wchar_t* folder : kFolders) {
        station::StationFile file;
        const station::StationParse parse = station::ParseStationFile(bytes, folder, file);
        if (parse.line > lines)
            std::abort();
        if (parse.fault != station::StationFault::None)
            continue;
        const std::string saved = station::FormatStationFile(file, folder);
        station::StationFile again;
        if (station::ParseStationFile(saved, folder, again).fault != station::StationFault::None || !(again == file))
            std::abort();
    }
    return 0;
}
