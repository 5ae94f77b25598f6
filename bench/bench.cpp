// The start-up benchmark: starts each program of the suite N times, interleaved with its
// floors, and measures process start -> first visible window -> input idle, and the idle
// working set and private bytes. Floors: a bare dialog program, and per program its resource
// floor (the same dialog template and manifest, no code of ours); the writer's resource floor
// also once with the device libraries imported, as the editors must, the launcher's once with
// Windows Sockets started, as its start-up must. Prints medians with the
// 10th-90th percentile spread, the ratios to both floors, each file's size, and any library
// that a program has loaded by the time it is idle although only a command needs it. The
// station starts on a station file that the benchmark writes into the temporary folder.
//
//   tolka_bench.exe [runs]        (bench/run.sh runs it under Wine)
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "bench/stats.h"

namespace {

struct Sample {
    double visibleMs = 0;
    double idleMs = 0;
    double workingSetKiB = 0;
    double privateKiB = 0;
};

struct Subject {
    const wchar_t* label;
    const wchar_t* file;
    const wchar_t* resourceFloor;  // nullptr for a floor
    std::vector<Sample> samples;
    std::wstring arguments;  // the command line after the program's name
};

// Loaded only when a command needs them; none may be present in an idle program.
const wchar_t* const kCommandLibraries[] = {L"comdlg32.dll", L"shell32.dll", L"ole32.dll",   L"rpcrt4.dll",
                                            L"version.dll",  L"hhctrl.ocx",  L"combase.dll", L"windowscodecs.dll"};

std::wstring OwnFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD len = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (len < path.size()) {
            path.resize(len);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

struct WindowSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM param) {
    auto* s = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == s->pid && IsWindowVisible(hwnd)) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND VisibleWindowOf(DWORD pid) {
    WindowSearch search{pid, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<std::wstring> CommandLibrariesLoaded(HANDLE process) {
    std::vector<HMODULE> modules(512);
    DWORD needed = 0;
    std::vector<std::wstring> found;
    if (!K32EnumProcessModules(process, modules.data(), static_cast<DWORD>(modules.size() * sizeof(HMODULE)), &needed))
        return found;
    size_t count = std::min<size_t>(needed / sizeof(HMODULE), modules.size());
    for (size_t i = 0; i < count; ++i) {
        wchar_t name[MAX_PATH] = {};
        if (K32GetModuleBaseNameW(process, modules[i], name, MAX_PATH) == 0)
            continue;
        for (const wchar_t* library : kCommandLibraries)
            if (lstrcmpiW(name, library) == 0)
                found.push_back(name);
    }
    return found;
}

// Committed private memory, region by region: the system's own private-bytes counter is not
// filled for other processes everywhere (Wine leaves it 0).
double PrivateKiB(HANDLE process) {
    double total = 0;
    MEMORY_BASIC_INFORMATION info{};
    const char* address = nullptr;
    while (VirtualQueryEx(process, address, &info, sizeof info) == sizeof info) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE)
            total += static_cast<double>(info.RegionSize);
        const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
        if (next <= address)
            break;
        address = next;
    }
    return total / 1024.0;
}

// One start of a program; false when it did not show a window in time.
bool Measure(const std::wstring& exe,
             const std::wstring& arguments,
             Sample& sample,
             std::vector<std::wstring>& commandLibraries) {
    std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    double start = NowMs();
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    HWND window = nullptr;
    while (window == nullptr && NowMs() - start < 20000) {
        window = VisibleWindowOf(pi.dwProcessId);
        if (window == nullptr)
            Sleep(1);
    }
    bool ok = window != nullptr;
    if (ok) {
        sample.visibleMs = NowMs() - start;
        ok = WaitForInputIdle(pi.hProcess, 20000) == 0;
        sample.idleMs = NowMs() - start;
    }
    if (ok) {
        // Let the first paint and any late initialisation settle before reading memory.
        Sleep(500);
        PROCESS_MEMORY_COUNTERS_EX counters{};
        counters.cb = sizeof counters;
        K32GetProcessMemoryInfo(pi.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
        sample.workingSetKiB = static_cast<double>(counters.WorkingSetSize) / 1024.0;
        sample.privateKiB = PrivateKiB(pi.hProcess);
        commandLibraries = CommandLibrariesLoaded(pi.hProcess);
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(pi.hProcess, 5000) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    // The system finishes the ended process's clean-up before the next start is timed.
    Sleep(200);
    return ok;
}

double FileKiB(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return static_cast<double>(data.nFileSizeLow) / 1024.0;
}

std::vector<double> Values(const std::vector<Sample>& samples, double Sample::*field) {
    std::vector<double> values;
    for (const Sample& s : samples)
        values.push_back(s.*field);
    return values;
}

bench::Summary Of(const std::vector<Sample>& samples, double Sample::*field) {
    return bench::Summarize(Values(samples, field));
}

// A station file that names a record of zeros and a ledger beside it, in the temporary folder;
// its path.
std::wstring WriteStationFile() {
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring folder = temp;
    const char record[128] = {};
    const char station[] = "record=tolka_bench.tpi\r\nledger=tolka_bench.csv\r\n";
    const std::pair<std::wstring, std::string> files[] = {
        {folder + L"tolka_bench.tpi", std::string(record, sizeof record)},
        {folder + L"tolka_bench.tstation", station},
    };
    for (const auto& [path, bytes] : files) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    return files[1].first;
}

std::vector<Subject> AllSubjects(const std::wstring& stationFile) {
    return {
        {L"bare floor", L"bench_floor.exe", nullptr, {}, L""},
        {L"PelnTools floor", L"bench_floor_PelnTools.exe", nullptr, {}, L""},
        {L"PelnTools", L"PelnTools.exe", L"bench_floor_PelnTools.exe", {}, L""},
        {L"  floor + sockets", L"bench_floor_PelnTools_sockets.exe", nullptr, {}, L""},
        {L"TolkaPIWriter floor", L"bench_floor_TolkaPIWriter.exe", nullptr, {}, L""},
        {L"TolkaPIWriter", L"TolkaPIWriter.exe", L"bench_floor_TolkaPIWriter.exe", {}, L""},
        {L"  floor + device DLLs", L"bench_floor_TolkaPIWriter_dlls.exe", nullptr, {}, L""},
        {L"TolkaOption floor", L"bench_floor_TolkaOption.exe", nullptr, {}, L""},
        {L"TolkaOption", L"TolkaOption.exe", L"bench_floor_TolkaOption.exe", {}, L""},
        {L"TolkaStation floor", L"bench_floor_TolkaStation.exe", nullptr, {}, L""},
        {L"TolkaStation", L"TolkaStation.exe", L"bench_floor_TolkaStation.exe", {}, L"\"" + stationFile + L"\""},
    };
}

// The command libraries each subject had loaded at idle, by label.
using LoadedLibraries = std::map<std::wstring, std::set<std::wstring>>;

// One warm-up start each (the first start after a build pays for the file cache), then
// the runs, interleaved so that a slow moment of the machine hits every program alike.
// Returns the number of starts that did not reach an idle window.
int RunAll(std::vector<Subject>& subjects, int runs, const std::wstring& folder, LoadedLibraries& loadedAtIdle) {
    int failures = 0;
    for (int run = -1; run < runs; ++run) {
        for (Subject& subject : subjects) {
            Sample sample;
            std::vector<std::wstring> libraries;
            if (!Measure(folder + subject.file, subject.arguments, sample, libraries)) {
                std::fwprintf(stderr, L"bench: %ls did not reach an idle window\n", subject.file);
                ++failures;
                continue;
            }
            if (run >= 0)
                subject.samples.push_back(sample);
            for (const std::wstring& library : libraries)
                loadedAtIdle[subject.label].insert(library);
        }
    }
    return failures;
}

void PrintMeasurements(const std::vector<Subject>& subjects, int runs, const std::wstring& folder) {
    std::printf("start-up under this system, %d runs each; medians [10th-90th percentile]\n\n", runs);
    std::printf("%-20s %8s %20s %20s %22s %22s\n", "program", "KiB", "to window ms", "to idle ms",
                "idle working set KiB", "idle private KiB");
    for (const Subject& s : subjects) {
        std::printf("%-20ls %8.1f %20s %20s %22s %22s\n", s.label, FileKiB(folder + s.file),
                    bench::FormatSummary(Of(s.samples, &Sample::visibleMs)).c_str(),
                    bench::FormatSummary(Of(s.samples, &Sample::idleMs)).c_str(),
                    bench::FormatSummary(Of(s.samples, &Sample::workingSetKiB)).c_str(),
                    bench::FormatSummary(Of(s.samples, &Sample::privateKiB)).c_str());
    }
}

// A program's resource floor among the subjects; nullptr for a floor or when it is missing.
const Subject* ResourceFloorOf(const Subject& s, const std::vector<Subject>& subjects) {
    if (s.resourceFloor == nullptr)
        return nullptr;
    const Subject* floor = nullptr;
    for (const Subject& f : subjects)
        if (f.resourceFloor == nullptr && lstrcmpiW(f.file, s.resourceFloor) == 0)
            floor = &f;
    return floor;
}

// Each program against the bare floor (subjects[0]) and its resource floor.
void PrintRatios(const std::vector<Subject>& subjects) {
    const Subject& bare = subjects[0];
    double bareIdle = Of(bare.samples, &Sample::idleMs).median;
    std::printf("\n%-20s %16s %16s %24s %18s %18s\n", "ratios (medians)", "idle/bare", "idle/resource",
                "idle/resource, per run", "private/resource", "working set/bare");
    for (const Subject& s : subjects) {
        const Subject* floor = ResourceFloorOf(s, subjects);
        if (floor == nullptr)
            continue;
        bench::Summary paired = bench::Summarize(
            bench::PairedRatios(Values(s.samples, &Sample::idleMs), Values(floor->samples, &Sample::idleMs)));
        char pairedText[48];
        std::snprintf(pairedText, sizeof pairedText, "%.2f [%.2f-%.2f]", paired.median, paired.low, paired.high);
        std::printf(
            "%-20ls %16.2f %16.2f %24s %18.2f %18.2f\n", s.label,
            bench::Ratio(Of(s.samples, &Sample::idleMs).median, bareIdle),
            bench::Ratio(Of(s.samples, &Sample::idleMs).median, Of(floor->samples, &Sample::idleMs).median), pairedText,
            bench::Ratio(Of(s.samples, &Sample::privateKiB).median, Of(floor->samples, &Sample::privateKiB).median),
            bench::Ratio(Of(s.samples, &Sample::workingSetKiB).median,
                         Of(bare.samples, &Sample::workingSetKiB).median));
    }
}

// What the system loads into any dialog program is the floor's (subjects[0]), not ours.
void PrintCommandLibraries(const std::vector<Subject>& subjects, LoadedLibraries& loadedAtIdle) {
    const std::set<std::wstring>& system = loadedAtIdle[subjects[0].label];
    std::printf("\ncommand libraries loaded at idle by the bare floor (the system's own):");
    for (const std::wstring& library : system)
        std::printf(" %ls", library.c_str());
    std::printf("\ncommand libraries loaded at idle beyond that:");
    bool any = false;
    for (const Subject& s : subjects) {
        std::wstring extra;
        for (const std::wstring& library : loadedAtIdle[s.label])
            if (system.count(library) == 0)
                extra += L" " + library;
        if (!extra.empty()) {
            std::printf("\n  %ls:%ls", s.label, extra.c_str());
            any = true;
        }
    }
    std::printf("%s\n", any ? "" : " none");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int runs = argc > 1 ? _wtoi(argv[1]) : 15;
    if (runs < 1)
        runs = 1;
    std::wstring folder = OwnFolder();
    std::vector<Subject> subjects = AllSubjects(WriteStationFile());
    LoadedLibraries loadedAtIdle;
    int failures = RunAll(subjects, runs, folder, loadedAtIdle);
    PrintMeasurements(subjects, runs, folder);
    PrintRatios(subjects);
    PrintCommandLibraries(subjects, loadedAtIdle);
    return failures == 0 ? 0 : 1;
}
