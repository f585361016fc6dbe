#include "stage/CLoadStage.h"

#include "core/Globals.h"
#include "stage/StageLoader.h"

CLoadStage::CLoadStage() : m_StageIndex(g_StageIndex) {}

CLoadStage::~CLoadStage()
{
    if (!m_loader.joinable()) return;
    m_loader.join();
    MarkStageLoadEnded();
}

void CLoadStage::Init()
{
    if (m_loader.joinable()) return;
    ReleaseEarlierStageResources();
    MarkStageLoadStarted();
    m_loader = std::thread(LoadStage, m_StageIndex);
}
