#include "game/TopTouch.h"

#include <algorithm>

#include "core/GameRandom.h"
#include "effect/CPSprite.h"
#include "game/CHitText.h"
#include "game/CKomaClash.h"

namespace {

constexpr int HIT_SPARK_SPREAD = 100;          // extra sparks, 0 to 99
constexpr float HIT_TEXT_SPIN_UNIT = 100.0f;   // the hit text is drawn at the second top's spin / 100
constexpr int HIT_TEXT_IMAGE = 0;

plat::Vec3 ToVec3(const double* v)
{
    return {static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2])};
}

void AddForce(Body body, plat::Vec3 f)
{
    if (body) body.AddForce(f.x, f.y, f.z);
}

}   // namespace

void TopTouch::ExchangeCeilings(CKomaBase& first, CKomaBase& second)
{
    float firstSpin = first.Spin();
    float secondSpin = second.Spin();
    second.m_GaugeCeiling =
        std::min(static_cast<int>(firstSpin / CEILING_SHARE + static_cast<float>(second.m_GaugeCeiling)),
                 CKomaBase::GAUGE_CEILING_MAX);
    first.m_GaugeCeiling =
        std::min(static_cast<int>(secondSpin / CEILING_SHARE + static_cast<float>(first.m_GaugeCeiling)),
                 CKomaBase::GAUGE_CEILING_MAX);
}

void TopTouch::Bounce(CKomaBase& first, CKomaBase& second, const ContactPoint& contact)
{
    float firstSpin = first.Spin();
    float secondSpin = second.Spin();
    plat::Vec3 p = ToVec3(contact.pos);
    plat::Vec3 n = ToVec3(contact.normal);

    for (uint32_t kind : {uint32_t(CPSprite::KIND_SPARK_BRIGHT), uint32_t(CPSprite::KIND_SPARK)}) {
        uint32_t count = static_cast<uint32_t>(HIT_SPARKS + GameRand() % HIT_SPARK_SPREAD);
        AddTask(new CPSprite(p.x, p.y, p.z, kind, count), PRIORITY_EFFECT);
    }
    AddTask(new CHitText(p.x, p.y, p.z, HIT_TEXT_IMAGE, secondSpin / HIT_TEXT_SPIN_UNIT), PRIORITY_EFFECT);

    // Each top is pushed along the contact normal by the other's spin.
    AddForce(first.m_Disc.body, n * (secondSpin * HIT_PUSH));
    AddForce(second.m_Disc.body, n * -(firstSpin * HIT_PUSH));
    if (firstSpin < CKomaBase::TORQUE_SPIN_LIMIT && first.m_Disc.body) first.m_Disc.body.AddTorque(0, HIT_TORQUE, 0);
    if (secondSpin < CKomaBase::TORQUE_SPIN_LIMIT && second.m_Disc.body) second.m_Disc.body.AddTorque(0, HIT_TORQUE, 0);
}

void TopTouch::StartClash(CKomaBase& first, CKomaBase& second, const ContactPoint& contact, int key)
{
    const double* p = contact.pos;
    const double* n = contact.normal;
    auto* clash =
        new CKomaClash(&second, &first, static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2]),
                       static_cast<float>(n[0]), static_cast<float>(n[1]), static_cast<float>(n[2]));
    clash->m_EnemyKey = key;
    AddTask(PRIORITY_KOMA_CLASH, clash, KOMA_CLASH_TASK_NAME);
}
