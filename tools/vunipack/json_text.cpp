#include "json_text.h"

#include "text/text.h"

#include <cstdio>

namespace vuni::pack {

std::string JsonString(const std::string& cp1252) {
    const std::string utf8 = Cp1252ToUtf8(cp1252);
    std::string out = "\"";
    for (char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                out += buffer;
            } else {
                out += ch;
            }
        }
    }
    return out + "\"";
}

void JsonWriter::Key(const char* key) {
    if (!first_) {
        out_ += ",";
    }
    if (depth_ > 0) {
        out_ += "\n" + std::string(static_cast<size_t>(depth_) * 2, ' ');
    }
    if (key != nullptr) {
        out_ += JsonString(key) + ": ";
    }
    first_ = false;
}

void JsonWriter::Close(char bracket) {
    --depth_;
    if (!first_) {
        out_ += "\n" + std::string(static_cast<size_t>(depth_) * 2, ' ');
    }
    out_ += bracket;
    first_ = false;
    if (depth_ == 0) {
        out_ += "\n";
    }
}

void JsonWriter::BeginObject(const char* key) {
    Key(key);
    out_ += "{";
    ++depth_;
    first_ = true;
}

void JsonWriter::EndObject() {
    Close('}');
}

void JsonWriter::BeginArray(const char* key) {
    Key(key);
    out_ += "[";
    ++depth_;
    first_ = true;
}

void JsonWriter::EndArray() {
    Close(']');
}

void JsonWriter::Text(const char* key, const std::string& cp1252) {
    Key(key);
    out_ += JsonString(cp1252);
}

void JsonWriter::Number(const char* key, int64_t value) {
    Key(key);
    out_ += Decimal(value);
}

} // namespace vuni::pack
