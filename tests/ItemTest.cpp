// Items on a real physics world with the player's top and an enemy top: the
// push towards the centre, the trail until landing, touches counted per
// update, the first touch's bounce and the second touch's effects, the tie
// that the player wins, removal below height 0 and items ignored while a top
// is down.
#include <gtest/gtest.h>

#include <cmath>

#include "core/TaskList.h"
#include "effect/CPSprite.h"
#include "enemy/St1Enemy.h"
#include "game/CHitText.h"
#include "item/CItem.h"
#include "item/CItemEffectJump.h"
#include "item/CItemEffectKoma.h"
#include "tests/StageTestSupport.h"

namespace {

using stagetest::AddResource;
using toptest::TopWorld;

constexpr float RESTING_HEIGHT = 3.3f;   // a top's disc with its shaft tip in the floor at height 1

plat::Vec3 Torque(Body body)
{
    const double* t = body.Torque();
    return {static_cast<float>(t[0]), static_cast<float>(t[1]), static_cast<float>(t[2])};
}

plat::Vec3 Force(Body body)
{
    const double* f = body.Force();
    return {static_cast<float>(f[0]), static_cast<float>(f[1]), static_cast<float>(f[2])};
}

template <typename T>
int CountTasks(bool (*match)(const T&) = nullptr)
{
    int n = 0;
    for (const TaskEntry* entry : TaskList::Instance().Entries())
        if (auto* t = dynamic_cast<const T*>(entry->object); t && (!match || match(*t))) ++n;
    return n;
}

const CPSprite* FindBurst(uint32_t kind)
{
    for (const TaskEntry* entry : TaskList::Instance().Entries())
        if (auto* b = dynamic_cast<const CPSprite*>(entry->object); b && b->GetKind() == kind) return b;
    return nullptr;
}

bool IsItemAlive(const CItem* item)
{
    for (const TaskEntry* entry : TaskList::Instance().Entries())
        if (entry->object == item) return true;
    return false;
}

class ItemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        world = std::make_unique<TopWorld>();
        for (const char* key : {"XItem", "XItem1", "XItem2", "XItem3", "XEffectJump"})
            AddResource(key, new CXFile("X/Mesh.x"));
        for (const char* key : {"ItemHitSE", "ItemEffectSE", "ItemJumpSE"})
            AddResource(key, new CSound("sound/Click.wav"));
        player = world->AddTop();
        enemy = new St1Enemy({0, 0, 0});
        AddTask(PRIORITY_ENEMY, enemy, "St1Enemy");
        world->FreezePhysics(true);
        TopWorld::Place(player, {-20, RESTING_HEIGHT, 0}, 150);
        TopWorld::Place(enemy, {20, RESTING_HEIGHT, 0}, 150);
    }
    void TearDown() override { world.reset(); }

    // An item of the kind at rest at p (the physics stays frozen).
    CItem* Item(int kind, plat::Vec3 p)
    {
        auto* item = new CItem(kind, plat::Translation(p.x, p.y, p.z));
        AddTask(PRIORITY_ITEM, item, ITEM_TASK_NAME);
        item->m_Body.body.SetLinearVelocity(0, 0, 0);
        return item;
    }

    static void Move(CItem* item, plat::Vec3 p) { item->m_Body.body.SetPosition(p.x, p.y, p.z); }

    std::unique_ptr<TopWorld> world;
    CKoma* player = nullptr;
    St1Enemy* enemy = nullptr;
};

TEST_F(ItemTest, IsPushedTowardsTheArenaCentre)
{
    for (plat::Vec3 drop : {plat::Vec3{20, 10, 25}, plat::Vec3{-30, 12, 5}, plat::Vec3{3, 10, -28}}) {
        plat::Vec3 push = CItem::InwardPush(drop);
        EXPECT_EQ(push.y, 0.0f);
        EXPECT_LT(push.x * drop.x + push.z * drop.z, 0.0f) << drop.x << "," << drop.z;
    }
    // The drop point is turned by the box's tilt first: only y and z mix.
    plat::Vec3 push = CItem::InwardPush({0, 10, 30});
    EXPECT_EQ(push.x, 0.0f);
    EXPECT_NEAR(push.z, -100.0f * (30.0f * std::cos(0.34906587f) - 10.0f * std::sin(0.34906587f)), 0.05f);
}

TEST_F(ItemTest, LeavesOneTrailSpritePerUpdateUntilItLands)
{
    CItem* item = Item(CItem::KIND_SPIN, {0, 20, 0});
    auto trails = [] {
        return CountTasks<CPSprite>([](const CPSprite& b) { return b.GetKind() == CPSprite::KIND_TRAIL; });
    };
    for (int n = 1; n <= 3; ++n) {
        item->Update();
        EXPECT_EQ(trails(), n);
        EXPECT_FALSE(item->m_Landed);
    }
    const CPSprite* trail = FindBurst(CPSprite::KIND_TRAIL);
    ASSERT_NE(trail, nullptr);
    EXPECT_EQ(trail->ParticleCount(), 1u);
    EXPECT_EQ(trail->Particles()[0].a, 0.0f);   // the trail stands still where it was made

    Move(item, {0, 1.5f, 0});   // resting in the floor at height 1
    item->Update();
    EXPECT_TRUE(item->m_Landed);
    EXPECT_EQ(trails(), 4);   // the landing update still leaves one
    Move(item, {0, 20, 0});
    item->Update();
    item->Update();
    EXPECT_EQ(trails(), 4);
    EXPECT_EQ(item->m_TouchCount, 0);   // the arena is no touch
}

TEST_F(ItemTest, BelowHeightZeroIsRemovedWithoutEffect)
{
    CItem* item = Item(CItem::KIND_POWER, {-20, RESTING_HEIGHT, 2.4f});   // touching the player
    Move(item, {-20, -0.5f, 0});
    int ceiling = player->m_GaugeCeiling;
    item->Update();
    EXPECT_FALSE(IsItemAlive(item));
    EXPECT_EQ(player->m_GaugeCeiling, ceiling);
    EXPECT_EQ(CountTasks<CItemEffectKoma>(), 0);
    EXPECT_EQ(CountTasks<CHitText>(), 0);
}

TEST_F(ItemTest, IsIgnoredWhileEitherTopIsDown)
{
    for (CKomaBase* down : {static_cast<CKomaBase*>(player), static_cast<CKomaBase*>(enemy)}) {
        CItem* item = Item(CItem::KIND_POWER, {-20, RESTING_HEIGHT, 2.4f});
        down->m_Down = 1;
        int ceiling = player->m_GaugeCeiling;
        for (int i = 0; i < 3; ++i) item->Update();
        EXPECT_TRUE(IsItemAlive(item));
        EXPECT_EQ(item->m_TouchCount, 0);
        EXPECT_EQ(player->m_GaugeCeiling, ceiling);
        EXPECT_EQ(CountTasks<CPSprite>(), 0);   // not even a trail
        down->m_Down = 0;
        RemoveTask(item);
    }
}

TEST_F(ItemTest, FirstTouchBouncesAlongTheNormalWithSparksAndHitText)
{
    // Beside the player's disc, on the side away from the centre in z.
    CItem* item = Item(CItem::KIND_JUMP, {-20, RESTING_HEIGHT, 2.5f});
    plat::Vec3 before = Force(item->m_Body.body);
    item->Update();
    EXPECT_EQ(item->m_TouchCount, 1);
    plat::Vec3 bounce = Force(item->m_Body.body) - before;
    EXPECT_NEAR(plat::Length(bounce), 3000.0f, 1.0f);
    EXPECT_GT(bounce.z, 2900.0f);   // away from the top
    EXPECT_EQ(item->m_Mesh, FindResource("XItem2"));

    // Sparks and the hit text at the contact, between the item and the disc.
    const CPSprite* sparks = FindBurst(CPSprite::KIND_SPARK_BRIGHT);
    ASSERT_NE(sparks, nullptr);
    EXPECT_GE(sparks->ParticleCount(), 600u);
    EXPECT_LE(sparks->ParticleCount(), 699u);
    plat::Vec3 at = sparks->Particles()[0].origin;
    EXPECT_NEAR(at.x, -20.0f, 0.1f);
    EXPECT_GT(at.z, 1.3f);
    EXPECT_LT(at.z, 1.7f);
    EXPECT_EQ(CountTasks<CHitText>(), 1);
}

TEST_F(ItemTest, TwoUpdatesOfRestingContactTakeTheItem)
{
    player->m_GaugeCeiling = 100;
    CItem* item = Item(CItem::KIND_POWER, {-20, RESTING_HEIGHT, 2.5f});
    item->Update();
    ASSERT_TRUE(IsItemAlive(item));
    EXPECT_EQ(player->m_GaugeCeiling, 100);
    item->Update();
    EXPECT_FALSE(IsItemAlive(item));
    EXPECT_EQ(player->m_GaugeCeiling, 120);
    const CPSprite* burst = FindBurst(CPSprite::KIND_ITEM_POWER);
    ASSERT_NE(burst, nullptr);
    EXPECT_EQ(burst->ParticleCount(), 2u);   // the player's side
    EXPECT_EQ(CountTasks<CItemEffectKoma>(), 1);
}

TEST_F(ItemTest, AnUntouchedUpdateBetweenTouchesStillCounts)
{
    CItem* item = Item(CItem::KIND_SPIN, {-20, RESTING_HEIGHT, 2.5f});
    item->Update();
    Move(item, {0, 1.5f, 0});
    item->Update();
    item->Update();
    EXPECT_EQ(item->m_TouchCount, 1);   // the item stays in play
    Move(item, {-20, RESTING_HEIGHT, 2.5f});
    item->Update();
    EXPECT_FALSE(IsItemAlive(item));
}

TEST_F(ItemTest, PowerItemLiftsTheCeilingUpTo270)
{
    for (auto [from, to] : {std::pair{68, 88}, std::pair{250, 270}, std::pair{260, 270}, std::pair{270, 270}}) {
        player->m_GaugeCeiling = from;
        CItem* item = Item(CItem::KIND_POWER, {-20, RESTING_HEIGHT, 2.5f});
        item->Update();
        item->Update();
        ASSERT_FALSE(IsItemAlive(item));
        EXPECT_EQ(player->m_GaugeCeiling, to) << "from " << from;
    }
}

TEST_F(ItemTest, PlayerWinsWhenBothTopsTouchInTheSameUpdate)
{
    TopWorld::Place(player, {-2.5f, RESTING_HEIGHT, 0}, 150);
    TopWorld::Place(enemy, {2.5f, RESTING_HEIGHT, 0}, 150);
    CItem* item = Item(CItem::KIND_SPIN, {0, RESTING_HEIGHT, 0});
    plat::Vec3 playerTorque = Torque(player->m_Disc.body);
    plat::Vec3 enemyTorque = Torque(enemy->m_Disc.body);
    item->Update();
    item->Update();
    ASSERT_FALSE(IsItemAlive(item));
    EXPECT_NEAR(Torque(player->m_Disc.body).y - playerTorque.y, 5000.0f, 1e-3);
    EXPECT_NEAR(Torque(enemy->m_Disc.body).y - enemyTorque.y, 0.0f, 1e-3);
    const CPSprite* burst = FindBurst(CPSprite::KIND_ITEM_SPIN);
    ASSERT_NE(burst, nullptr);
    EXPECT_EQ(burst->ParticleCount(), 2u);
}

TEST_F(ItemTest, EnemyTakesAnItemOnlyItTouches)
{
    CItem* item = Item(CItem::KIND_SPIN, {20, RESTING_HEIGHT, 2.5f});
    plat::Vec3 enemyTorque = Torque(enemy->m_Disc.body);
    item->Update();
    item->Update();
    ASSERT_FALSE(IsItemAlive(item));
    EXPECT_NEAR(Torque(enemy->m_Disc.body).y - enemyTorque.y, 5000.0f, 1e-3);
    const CPSprite* burst = FindBurst(CPSprite::KIND_ITEM_SPIN);
    ASSERT_NE(burst, nullptr);
    EXPECT_EQ(burst->ParticleCount(), 3u);   // the enemy's side
}

TEST_F(ItemTest, JumpItemThrowsTheTakerUpWithRings)
{
    // Low beside the shaft, out of the disc's reach: the shaft test takes it.
    CItem* item = Item(CItem::KIND_JUMP, {-20, 0.5f, 1.0f});
    plat::Vec3 before = Force(player->m_Disc.body);
    item->Update();
    EXPECT_EQ(item->m_TouchCount, 1);
    item->Update();
    ASSERT_FALSE(IsItemAlive(item));
    EXPECT_NEAR(Force(player->m_Disc.body).y - before.y, 100000.0f, 1.0f);
    auto* rings = dynamic_cast<CItemEffectJump*>(FindTask(ITEM_EFFECT_JUMP_TASK_NAME));
    ASSERT_NE(rings, nullptr);
    EXPECT_NEAR(rings->m_Position.z, 1.0f, 1e-4);
}

TEST_F(ItemTest, OutlivingThePhysicsWorldIsSafe)
{
    CItem* item = Item(CItem::KIND_SPIN, {0, 10, 0});
    RemoveTask(FindTask(CODE_TASK_NAME));   // the world and its bodies go first
    RemoveTask(item);
    SUCCEED();
}

}   // namespace
