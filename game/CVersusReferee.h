// CVersusReferee watches the two players' tops in versus play. It moves the
// duel camera, which looks at both so that neither leaves the picture, and
// judges their touches as a stage's enemy top judges its touches with the
// player's: ceilings, bounces, and a clash when both are dashing, in which
// player 2 presses its own dash key. The battle interface decides the round
// when a top is down, as in a duel. A round has a time limit: when it runs
// out with both tops still up, the slower one is judged down (the one
// farther from the middle when both spin alike).
#pragma once

#include <cstdint>
#include <memory>

#include "core/Task.h"
#include "physics/PhysicsBodies.h"

class CCamera;
class CKoma;
class CSound;

constexpr const char* VERSUS_REFEREE_TASK_NAME = "CVersusReferee";

class CVersusReferee : public CGameObject {
public:
    // secondDashKey: the key player 2 presses in a clash.
    static constexpr uint32_t ROUND_MS = 80000;

    explicit CVersusReferee(int secondDashKey);
    ~CVersusReferee() override;
    CVersusReferee(const CVersusReferee&) = delete;
    CVersusReferee& operator=(const CVersusReferee&) = delete;

    void Init() override;
    void Update() override;

    // Milliseconds of the round left, 0 once it has run out.
    uint32_t MsLeft() const;

    CKoma* m_First = nullptr;    // player 1's top
    CKoma* m_Second = nullptr;   // player 2's top
    CCamera* m_Camera = nullptr;
    std::unique_ptr<CSound> m_HitSound;
    uint32_t m_ClashCooldownEnd = 0;
    uint32_t m_RoundStart = 0;   // frame time the tops entered the arena
    ContactPoint m_Contact{};

private:
    void TestTouch(uint32_t now);
    void JudgeAtTimeUp();

    int m_SecondDashKey;
};
