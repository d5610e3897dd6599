// JSON output: texts are Windows-1252 inside, UTF-8 in the JSON.
#pragma once

#include <cstdint>
#include <string>

namespace vuni::pack {

// A JSON string literal, quotes included, for a Windows-1252 text.
std::string JsonString(const std::string& cp1252);

// Builds one JSON object or array at a time, with two-space indentation.
class JsonWriter {
public:
    void BeginObject(const char* key = nullptr);
    void EndObject();
    void BeginArray(const char* key);
    void EndArray();
    void Text(const char* key, const std::string& cp1252);
    void Number(const char* key, int64_t value);

    const std::string& Result() const { return out_; }

private:
    void Key(const char* key);
    void Close(char bracket);

    std::string out_;
    int depth_ = 0;
    bool first_ = true;
};

} // namespace vuni::pack
