// TraceJson is responsible for building one JSON object of the runner's trace.
#pragma once

#include <cstdint>
#include <string>

class TraceJson {
public:
    TraceJson();

    void Key(const std::string& key);
    void Value(int64_t v);
    void Value(double v);
    void Value(bool v);
    void Value(const std::string& v);
    void Null();
    void BeginArray();
    void EndArray();
    void BeginObject();
    void EndObject();

    template <typename T>
    void Field(const std::string& key, const T& v)
    {
        Key(key);
        Value(v);
    }
    void Field(const std::string& key, int v)
    {
        Key(key);
        Value(static_cast<int64_t>(v));
    }
    void Field(const std::string& key, uint32_t v)
    {
        Key(key);
        Value(static_cast<int64_t>(v));
    }
    void Field(const std::string& key, float v)
    {
        Key(key);
        Value(static_cast<double>(v));
    }
    void Field(const std::string& key, const char* v)
    {
        Key(key);
        Value(std::string(v));
    }
    void Vec3(const std::string& key, float x, float y, float z);

    // Closes the outer object and returns the text.
    std::string Finish();

private:
    void Separate();

    std::string m_Text;
    bool m_NeedComma = false;
};

// Adds the game-state fields (sounds, music, camera, and the rest as the game
// grows) to a frame's trace object.
void AppendTraceFields(TraceJson& j);
// The screen showing, as the trace names it ("title", "battle", "versus result"...), or null.
const char* CurrentScreen();
