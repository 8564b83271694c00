// A strict reader of the JSON that menucheck writes: one object a line, its
// values strings, integers, null or another such object. Enough to tell that
// a consumer with any JSON library can read every line.
#pragma once

#include <cctype>
#include <cstddef>
#include <string>

namespace json_lines {

class Reader {
public:
    explicit Reader(const std::string& text) : text_(text) {}

    // The whole text is one object and nothing else.
    bool WholeObject() { return Object() && at_ == text_.size(); }

private:
    bool Take(char c)
    {
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }

    void Blanks()
    {
        while (at_ < text_.size() && text_[at_] == ' ')
            ++at_;
    }

    bool Object()
    {
        if (!Take('{'))
            return false;
        Blanks();
        if (Take('}'))
            return true;
        do {
            Blanks();
            if (!String())
                return false;
            Blanks();
            if (!Take(':'))
                return false;
            Blanks();
            if (!Value())
                return false;
            Blanks();
        } while (Take(','));
        return Take('}');
    }

    bool Value()
    {
        if (at_ >= text_.size())
            return false;
        const char c = text_[at_];
        if (c == '"')
            return String();
        if (c == '{')
            return Object();
        if (text_.compare(at_, 4, "null") == 0) {
            at_ += 4;
            return true;
        }
        Take('-');
        const std::size_t digits = at_;
        while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9')
            ++at_;
        // No leading zeros, as JSON has it.
        return at_ > digits && (text_[digits] != '0' || at_ == digits + 1);
    }

    bool String()
    {
        if (!Take('"'))
            return false;
        while (at_ < text_.size()) {
            const unsigned char c = static_cast<unsigned char>(text_[at_]);
            if (c == '"') {
                ++at_;
                return true;
            }
            if (c < 0x20)
                return false;
            if (c == '\\') {
                if (!Escape())
                    return false;
            } else if (!Utf8()) {
                return false;
            }
        }
        return false;
    }

    bool Escape()
    {
        ++at_;
        if (at_ >= text_.size())
            return false;
        const char c = text_[at_++];
        if (c != 'u')
            return c == '"' || c == '\\' || c == '/' || c == 'b' || c == 'f' || c == 'n' || c == 'r' || c == 't';
        for (int i = 0; i < 4; ++i, ++at_) {
            if (at_ >= text_.size() || !std::isxdigit(static_cast<unsigned char>(text_[at_])))
                return false;
        }
        return true;
    }

    // One well-formed UTF-8 sequence: no overlong forms, no surrogates,
    // nothing above U+10FFFF.
    bool Utf8()
    {
        const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text_[i]); };
        const unsigned char lead = byte(at_);
        std::size_t length = 1;
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else if (lead >= 0x80) {
            return false;
        }
        if (at_ + length > text_.size())
            return false;
        for (std::size_t i = 1; i < length; ++i) {
            const unsigned char c = byte(at_ + i);
            if (c < (i == 1 ? low : 0x80) || c > (i == 1 ? high : 0xBF))
                return false;
        }
        at_ += length;
        return true;
    }

    const std::string& text_;
    std::size_t at_ = 0;
};

inline bool IsObjectLine(const std::string& line)
{
    return Reader(line).WholeObject();
}

}  // namespace json_lines
