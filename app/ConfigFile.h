#pragma once
// Config.ini beside the client executable: a Windows private-profile file.
// Values are read into 64-character buffers without default text, so a missing
// key reads as the empty string; integer keys are signed decimal numbers.

#include <windows.h>

constexpr int kIniValueCapacity = 64;
constexpr int kPathCapacity = 260;

// Signed decimal conversion of an INI value: leading blanks and a sign are
// accepted, conversion stops at the first non-digit, text without digits gives 0
// and values beyond the 32-bit range saturate.
int ParseIniInt(const wchar_t* text);

class ConfigFile {
public:
    // folder: the executable's folder, without a trailing backslash.
    explicit ConfigFile(const wchar_t* folder);

    // False when the folder is empty or the path does not fit its buffer; such a
    // file is never touched, so a cut path can never name some other file.
    bool IsUsable() const { return m_usable; }
    const wchar_t* Path() const { return m_path; }

    void ReadText(const wchar_t* section, const wchar_t* key, wchar_t (&value)[kIniValueCapacity]) const;
    // As ReadText, but a value longer than the buffer reads as empty and gives
    // false: for values that are wrong when cut (a cut host is another host).
    bool ReadWholeText(const wchar_t* section, const wchar_t* key, wchar_t (&value)[kIniValueCapacity]) const;
    int ReadInt(const wchar_t* section, const wchar_t* key) const;
    bool WriteText(const wchar_t* section, const wchar_t* key, const wchar_t* value) const;
    bool WriteInt(const wchar_t* section, const wchar_t* key, int value) const;

private:
    wchar_t m_path[kPathCapacity] = {};
    bool m_usable = false;
};
