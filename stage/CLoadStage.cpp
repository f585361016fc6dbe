#include "stage/CLoadStage.h"

#include "core/Globals.h"
#include "stage/StageLoader.h"

CLoadStage::CLoadStage() : m_StageIndex(g_StageIndex) {}

CLoadStage::~CLoadStage()
{
    if (!m_Loader.joinable()) return;
    m_Loader.join();
    MarkStageLoadEnded();
}

void CLoadStage::Init()
{
    if (m_Loader.joinable()) return;
    ReleaseEarlierStageResources();
    MarkStageLoadStarted();
    m_Loader = std::thread(LoadStage, m_StageIndex);
}
