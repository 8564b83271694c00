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

    // One well-formed UTF-8 sequence, told by decoding it: the lead byte's
    // high bits give the length, every further byte is 10xxxxxx, and the
    // code point needs that length (no overlong form), is no surrogate and
    // is at most U+10FFFF. Written apart from the checker's own table of
    // byte ranges, so that the two cannot share a mistake.
    bool Utf8()
    {
        const unsigned lead = static_cast<unsigned char>(text_[at_]);
        std::size_t length = 0;
        unsigned point = 0;
        if (lead < 0x80) {
            length = 1;
            point = lead;
        } else if ((lead >> 5) == 0x6) {
            length = 2;
            point = lead & 0x1F;
        } else if ((lead >> 4) == 0xE) {
            length = 3;
            point = lead & 0x0F;
        } else if ((lead >> 3) == 0x1E) {
            length = 4;
            point = lead & 0x07;
        } else {
            return false;
        }
        if (at_ + length > text_.size())
            return false;
        for (std::size_t i = 1; i < length; ++i) {
            const unsigned next = static_cast<unsigned char>(text_[at_ + i]);
            if ((next >> 6) != 0x2)
                return false;
            point = (point << 6) | (next & 0x3F);
        }
        static const unsigned Smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (point < Smallest[length] || (point >= 0xD800 && point <= 0xDFFF) || point > 0x10FFFF)
            return false;
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
