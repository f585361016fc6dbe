#include "scene/CResult.h"

CResult::CResult(int kind) : m_Kind(kind) {}
