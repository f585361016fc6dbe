// CVersusReferee watches the two players' tops in versus play. It moves the
// duel camera, which looks at both so that neither leaves the picture, and
// judges their touches as a stage's enemy top judges its touches with the
// player's: ceilings, bounces, and a clash when both are dashing, in which
// player 2 presses its own dash key. The battle interface decides the round
// when a top is down, as in a duel.
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
    explicit CVersusReferee(int secondDashKey);
    ~CVersusReferee() override;
    CVersusReferee(const CVersusReferee&) = delete;
    CVersusReferee& operator=(const CVersusReferee&) = delete;

    void Init() override;
    void Update() override;

    CKoma* m_First = nullptr;    // player 1's top
    CKoma* m_Second = nullptr;   // player 2's top
    CCamera* m_Camera = nullptr;
    std::unique_ptr<CSound> m_HitSound;
    uint32_t m_ClashCooldownEnd = 0;
    ContactPoint m_Contact{};

private:
    void TestTouch(uint32_t now);

    int m_SecondDashKey;
};
