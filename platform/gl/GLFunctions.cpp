#include "platform/gl/GLFunctions.h"

namespace plat {

bool GLFunctions::Load(ProcLoader loader)
{
    m_missing = nullptr;
    if (!loader) {
        m_missing = "(no loader)";
        return false;
    }
#define SPINDREL_GL_LOAD(type, name)                                  \
    name = reinterpret_cast<type>(loader("gl" #name));                \
    if (!name && !m_missing) m_missing = "gl" #name;
    SPINDREL_GL_FUNCTIONS(SPINDREL_GL_LOAD)
#undef SPINDREL_GL_LOAD
    return m_missing == nullptr;
}

}  // namespace plat
