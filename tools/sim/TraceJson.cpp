#include "tools/sim/TraceJson.h"

#include <cmath>
#include <cstdio>

TraceJson::TraceJson() : m_text("{") {}

void TraceJson::Separate()
{
    if (m_needComma) m_text += ',';
    m_needComma = true;
}

void TraceJson::Key(const std::string& key)
{
    Value(key);
    m_text += ':';
    m_needComma = false;
}

void TraceJson::Value(int64_t v)
{
    Separate();
    m_text += std::to_string(v);
}

void TraceJson::Value(double v)
{
    Separate();
    if (!std::isfinite(v)) {
        m_text += "null";
        return;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6g", v);
    m_text += buf;
}

void TraceJson::Value(bool v)
{
    Separate();
    m_text += v ? "true" : "false";
}

void TraceJson::Value(const std::string& v)
{
    Separate();
    m_text += '"';
    for (unsigned char c : v) {
        if (c == '"' || c == '\\') {
            m_text += '\\';
            m_text += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            m_text += buf;
        } else {
            m_text += static_cast<char>(c);
        }
    }
    m_text += '"';
}

void TraceJson::Null()
{
    Separate();
    m_text += "null";
}

void TraceJson::BeginArray()
{
    Separate();
    m_text += '[';
    m_needComma = false;
}

void TraceJson::EndArray()
{
    m_text += ']';
    m_needComma = true;
}

void TraceJson::BeginObject()
{
    Separate();
    m_text += '{';
    m_needComma = false;
}

void TraceJson::EndObject()
{
    m_text += '}';
    m_needComma = true;
}

void TraceJson::Vec3(const std::string& key, float x, float y, float z)
{
    Key(key);
    BeginArray();
    Value(static_cast<double>(x));
    Value(static_cast<double>(y));
    Value(static_cast<double>(z));
    EndArray();
}

std::string TraceJson::Finish()
{
    return m_text + "}";
}
