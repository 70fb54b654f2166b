#pragma once
// A small strict JSON reader (RFC 8259) for checking what Korrimat writes: one value making up
// the whole text, no trailing commas, no member named twice in one object, escapes and numbers
// exactly by the grammar, no raw control characters in strings, UTF-8 whole and well formed. Used by the window tests and the
// mutation run.

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korrimat::testing {

struct JsonValue {
    enum class Type { Null, Boolean, Number, String, Array, Object };
    Type type = Type::Null;
    bool boolean = false;
    std::string text;  // a string's value, or a number as written
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;

    // A member or an item; a null value when there is none.
    const JsonValue& operator[](std::string_view name) const
    {
        for (const auto& [key, value] : members)
            if (key == name)
                return value;
        return Missing();
    }
    const JsonValue& operator[](std::size_t index) const { return index < items.size() ? items[index] : Missing(); }
    bool Has(std::string_view name) const
    {
        for (const auto& member : members)
            if (member.first == name)
                return true;
        return false;
    }
    bool IsNull() const { return type == Type::Null; }
    // A number written as a whole number that fits; nothing otherwise.
    std::optional<std::uint64_t> Integer() const
    {
        std::uint64_t value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (type != Type::Number || error != std::errc() || end != text.data() + text.size())
            return std::nullopt;
        return value;
    }

private:
    static const JsonValue& Missing()
    {
        static const JsonValue missing;
        return missing;
    }
};

class JsonReader {
public:
    // The value the whole text holds; nothing, with where and why in `error`, when it is not JSON.
    static std::optional<JsonValue> Parse(std::string_view text, std::string* error = nullptr)
    {
        JsonReader reader(text);
        JsonValue value;
        const bool read = reader.Value(value, 0) && (reader.SkipSpace(), reader.at_ == text.size());
        if (read)
            return value;
        if (error)
            *error = "not JSON at byte " + std::to_string(reader.at_);
        return std::nullopt;
    }

private:
    static constexpr int kDeepest = 64;

    explicit JsonReader(std::string_view text) : text_(text) {}

    void SkipSpace()
    {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r'))
            ++at_;
    }
    bool Take(char c)
    {
        SkipSpace();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    bool Word(std::string_view word)
    {
        if (text_.substr(at_, word.size()) != word)
            return false;
        at_ += word.size();
        return true;
    }
    bool Digits()
    {
        const std::size_t start = at_;
        while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9')
            ++at_;
        return at_ > start;
    }

    bool Value(JsonValue& value, int depth)
    {
        SkipSpace();
        if (at_ >= text_.size() || depth > kDeepest)
            return false;
        switch (text_[at_]) {
        case '{':
            return Object(value, depth);
        case '[':
            return Array(value, depth);
        case '"':
            value.type = JsonValue::Type::String;
            return String(value.text);
        case 't':
            value.type = JsonValue::Type::Boolean;
            value.boolean = true;
            return Word("true");
        case 'f':
            value.type = JsonValue::Type::Boolean;
            return Word("false");
        case 'n':
            return Word("null");
        default:
            return Number(value);
        }
    }

    bool Object(JsonValue& value, int depth)
    {
        value.type = JsonValue::Type::Object;
        ++at_;
        if (Take('}'))
            return true;
        do {
            std::string name;
            JsonValue member;
            SkipSpace();
            if (!String(name) || !Take(':') || !Value(member, depth + 1) || value.Has(name))
                return false;
            value.members.emplace_back(std::move(name), std::move(member));
        } while (Take(','));
        return Take('}');
    }

    bool Array(JsonValue& value, int depth)
    {
        value.type = JsonValue::Type::Array;
        ++at_;
        if (Take(']'))
            return true;
        do {
            JsonValue item;
            if (!Value(item, depth + 1))
                return false;
            value.items.push_back(std::move(item));
        } while (Take(','));
        return Take(']');
    }

    bool String(std::string& out)
    {
        if (at_ >= text_.size() || text_[at_] != '"')
            return false;
        for (++at_; at_ < text_.size(); ++at_) {
            const char c = text_[at_];
            if (c == '"') {
                ++at_;
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20)
                return false;
            if (static_cast<unsigned char>(c) >= 0x80) {
                if (!Utf8Character(out))
                    return false;
                continue;
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (++at_ >= text_.size())
                return false;
            switch (text_[at_]) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                unsigned code = 0;
                const std::string_view hex = text_.substr(at_ + 1, 4);
                const auto [end, error] = std::from_chars(hex.data(), hex.data() + hex.size(), code, 16);
                if (hex.size() != 4 || error != std::errc() || end != hex.data() + 4)
                    return false;
                at_ += 4;
                // Kept as the escape: the tests compare texts, not code points.
                out += "\\u" + std::string(hex);
                break;
            }
            default:
                return false;
            }
        }
        return false;
    }

    // One whole UTF-8 character of two to four bytes, as the standard allows it: no overlong form,
    // no surrogate, nothing past U+10FFFF. `at_` is left on its last byte.
    bool Utf8Character(std::string& out)
    {
        const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text_[at_ + i]); };
        const unsigned char lead = byte(0);
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (lead < 0xC2 || lead > 0xF4 || at_ + length > text_.size())
            return false;
        for (std::size_t i = 1; i < length; ++i)
            if ((byte(i) & 0xC0) != 0x80)
                return false;
        if ((lead == 0xE0 && byte(1) < 0xA0) || (lead == 0xED && byte(1) >= 0xA0) || (lead == 0xF0 && byte(1) < 0x90) ||
            (lead == 0xF4 && byte(1) >= 0x90))
            return false;
        out.append(text_.substr(at_, length));
        at_ += length - 1;
        return true;
    }

    bool Number(JsonValue& value)
    {
        value.type = JsonValue::Type::Number;
        const std::size_t start = at_;
        if (at_ < text_.size() && text_[at_] == '-')
            ++at_;
        if (at_ < text_.size() && text_[at_] == '0')
            ++at_;
        else if (!Digits())
            return false;
        if (at_ < text_.size() && text_[at_] == '.' && (++at_, !Digits()))
            return false;
        if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
            ++at_;
            if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-'))
                ++at_;
            if (!Digits())
                return false;
        }
        value.text = std::string(text_.substr(start, at_ - start));
        return true;
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

} // namespace korrimat::testing
