// CLoadStage is responsible for loading one stage: the loading screen of
// CLoading with the stage loader running on its own thread for the stage that
// was current when it was made.
#pragma once

#include <thread>

#include "stage/CLoading.h"

class CLoadStage : public CLoading {
public:
    // Copies g_StageIndex; the loader works with the copy.
    CLoadStage();
    // Waits for the loader to finish before CLoading frees what it prepared:
    // the pending list must not be touched while the loader can still write it.
    ~CLoadStage() override;

    // Releases the resources of the previous load and starts the loader.
    void Init() override;

    const int m_StageIndex;

private:
    std::thread m_Loader;
};
