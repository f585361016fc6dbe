#include "platform/gl/GLFunctions.h"

namespace plat {

bool GLFunctions::Load(ProcLoader loader)
{
    m_Missing = nullptr;
    if (!loader) {
        m_Missing = "(no loader)";
        return false;
    }
#define SPINDREL_GL_LOAD(type, name)                   \
    name = reinterpret_cast<type>(loader("gl" #name)); \
    if (!name && !m_Missing) m_Missing = "gl" #name;
    SPINDREL_GL_FUNCTIONS(SPINDREL_GL_LOAD)
#undef SPINDREL_GL_LOAD
    return m_Missing == nullptr;
}

}   // namespace plat
