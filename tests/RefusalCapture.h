// Captures the readers' reports of refused data files in place of standard
// error for as long as it lives, starting from an empty list.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/RefusedFiles.h"

class RefusalCapture {
public:
    RefusalCapture()
    {
        plat::RefusedFiles::Clear();
        m_Previous = plat::RefusedFiles::SetSink([this](const std::string& message) {
            std::lock_guard<std::mutex> lock(m_Mutex);
            m_Messages.push_back(message);
        });
    }
    ~RefusalCapture()
    {
        plat::RefusedFiles::SetSink(std::move(m_Previous));
        plat::RefusedFiles::Clear();
    }
    RefusalCapture(const RefusalCapture&) = delete;
    RefusalCapture& operator=(const RefusalCapture&) = delete;

    // Every message written, in order.
    std::vector<std::string> Messages() const
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        return m_Messages;
    }

    // The last reason the file was refused for, or empty when it was not.
    static std::string WhyRefused(const std::string& file)
    {
        std::string why;
        for (const plat::RefusedFile& refused : plat::RefusedFiles::List())
            if (refused.file == file) why = refused.why;
        return why;
    }

private:
    mutable std::mutex m_Mutex;
    std::vector<std::string> m_Messages;
    plat::RefusedFiles::Sink m_Previous;
};
