#include "tools/sim/TraceJson.h"

#include <cmath>
#include <cstdio>

TraceJson::TraceJson() : m_Text("{") {}

void TraceJson::Separate()
{
    if (m_NeedComma) m_Text += ',';
    m_NeedComma = true;
}

void TraceJson::Key(const std::string& key)
{
    Value(key);
    m_Text += ':';
    m_NeedComma = false;
}

void TraceJson::Value(int64_t v)
{
    Separate();
    m_Text += std::to_string(v);
}

void TraceJson::Value(double v)
{
    Separate();
    if (!std::isfinite(v)) {
        m_Text += "null";
        return;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6g", v);
    m_Text += buf;
}

void TraceJson::Value(bool v)
{
    Separate();
    m_Text += v ? "true" : "false";
}

void TraceJson::Value(const std::string& v)
{
    Separate();
    m_Text += '"';
    for (unsigned char c : v) {
        if (c == '"' || c == '\\') {
            m_Text += '\\';
            m_Text += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            m_Text += buf;
        } else {
            m_Text += static_cast<char>(c);
        }
    }
    m_Text += '"';
}

void TraceJson::Null()
{
    Separate();
    m_Text += "null";
}

void TraceJson::BeginArray()
{
    Separate();
    m_Text += '[';
    m_NeedComma = false;
}

void TraceJson::EndArray()
{
    m_Text += ']';
    m_NeedComma = true;
}

void TraceJson::BeginObject()
{
    Separate();
    m_Text += '{';
    m_NeedComma = false;
}

void TraceJson::EndObject()
{
    m_Text += '}';
    m_NeedComma = true;
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

std::string TraceJson::Finish() { return m_Text + "}"; }
