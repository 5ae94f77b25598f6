#include "framework/text.h"

#include "core/placeholders.h"

namespace fw {

std::wstring FormatMessageText(const std::wstring& pattern, const std::wstring& arg1) {
    return core::FillPlaceholders(pattern.c_str(), {arg1});
}

static size_t NameStart(const std::wstring& path) {
    size_t pos = path.find_last_of(L"\\/:");
    return pos == std::wstring::npos ? 0 : pos + 1;
}

std::wstring FileNameOfPath(const std::wstring& path) {
    return path.substr(NameStart(path));
}

std::wstring PathWithoutExtension(const std::wstring& path) {
    size_t dot = path.find_last_of(L'.');
    if (dot == std::wstring::npos || dot < NameStart(path))
        return path;
    return path.substr(0, dot);
}

namespace {

// COM and LPT ports are numbered 1 to 9; the system also takes the superscript digits.
bool IsPortDigit(wchar_t c) {
    return (c >= L'1' && c <= L'9') || c == 0x00B9 || c == 0x00B2 || c == 0x00B3;
}

}  // namespace

bool IsDeviceName(const std::wstring& path) {
    if (path.rfind(L"\\\\.\\", 0) == 0 || path.rfind(L"//./", 0) == 0)
        return true;
    std::wstring base = FileNameOfPath(path);
    base = base.substr(0, base.find(L'.'));
    // The system ignores blanks at the end of the name part ("CON .txt").
    base.erase(base.find_last_not_of(L' ') + 1);
    for (wchar_t& c : base)
        c = c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
    for (const wchar_t* name : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"}) {
        if (base == name)
            return true;
    }
    return base.size() == 4 && (base.rfind(L"COM", 0) == 0 || base.rfind(L"LPT", 0) == 0) && IsPortDigit(base[3]);
}

std::wstring FolderOfPath(const std::wstring& path) {
    return path.substr(0, NameStart(path));
}

namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

// Past the program name and the blanks after it.
size_t ArgumentsStart(const std::wstring& line) {
    size_t i = 0;
    if (!line.empty() && line[0] == L'"') {
        i = line.find(L'"', 1);
        i = i == std::wstring::npos ? line.size() : i + 1;
    } else {
        while (i < line.size() && !IsBlank(line[i]))
            ++i;
    }
    while (i < line.size() && IsBlank(line[i]))
        ++i;
    return i;
}

}  // namespace

std::vector<std::wstring> SplitCommandLineArgs(const std::wstring& line) {
    std::vector<std::wstring> args;
    size_t i = ArgumentsStart(line);
    while (i < line.size()) {
        std::wstring arg;
        // Quotes seen in the current run: 1 inside a quoted part; a third one in a row is literal.
        int quotes = 0;
        size_t backslashes = 0;
        while (i < line.size() && !(quotes == 0 && IsBlank(line[i]))) {
            wchar_t c = line[i++];
            if (c == L'\\') {
                ++backslashes;
                arg.push_back(c);
                continue;
            }
            if (c != L'"') {
                backslashes = 0;
                arg.push_back(c);
                continue;
            }
            arg.resize(arg.size() - backslashes / 2);
            if (backslashes % 2 == 1)
                arg.back() = L'"';
            else
                ++quotes;
            backslashes = 0;
            for (; i < line.size() && line[i] == L'"'; ++i) {
                if (++quotes == 3) {
                    arg.push_back(L'"');
                    quotes = 0;
                }
            }
            if (quotes == 2)
                quotes = 0;
        }
        args.push_back(arg);
        while (i < line.size() && IsBlank(line[i]))
            ++i;
    }
    return args;
}

}  // namespace fw
