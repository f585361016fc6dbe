#!/bin/sh
# The layer check passes on the tree, and fails on a copy of it with bad
# includes planted: one of each kind it must catch, each named in its report.
set -u
source_dir=$1
check="$source_dir/tools/check-layers"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$check" "$source_dir" || fail "the tree itself does not pass"

for layer in platform core gfx audio input physics effect game enemy item hud stage scene app; do
    [ -d "$source_dir/$layer" ] && cp -R "$source_dir/$layer" "$scratch/"
done
"$check" "$scratch" >/dev/null || fail "an unchanged copy does not pass"

plant() {   # FILE LINE: adds the include line to a new file of the copy
    mkdir -p "$(dirname "$scratch/$1")"
    printf '%s\n' "$2" >"$scratch/$1"
}
plant game/PlantedSdl.cpp '#include <SDL.h>'
plant scene/PlantedGl.h '  #  include <GL/gl.h>'
plant enemy/PlantedStb.cpp '#include "stb/stb_image.h"'
plant audio/PlantedMpg.cpp '#include <mpg123.h>'
plant platform/PlantedGame.cpp '#include "game/CKoma.h"'
plant core/PlantedPlatform.h '#include "platform/Clock.h"'
plant physics/PlantedGame.cpp '#include "enemy/CEnemy.h"'
plant item/PlantedApp.cpp '#include "app/GameApp.h"'
plant game/PlantedOde.h '#include <ode/ode.h>'
plant physics/PlantedFineOde.cpp '#include <ode/ode.h>'
plant game/PlantedFine.cpp '#include "effect/CPSprite.h"'
plant scene/PlantedFine.cpp '#include "hud/CSpriteRenderBase.h"'
# The rooms of the game: nothing reaches up, nor across to a room of its rank.
plant effect/PlantedTop.cpp '#include "game/CKoma.h"'
plant game/PlantedEnemy.cpp '#include "enemy/CEnemy.h"'
plant enemy/PlantedItem.cpp '#include "item/CItem.h"'
plant hud/PlantedResult.cpp '#include "scene/CResult.h"'
plant extra/PlantedUnranked.cpp '#include "core/Task.h"'
plant scene/PlantedDevice.cpp '#include "gfx/Graphics.h"'
plant enemy/PlantedSprite.cpp 'void Draw() { g_Sprite->End(); }'
plant item/PlantedFineRender.cpp '#include "gfx/Render.h"'

report=$("$check" "$scratch" 2>&1) && fail "the check passed with bad includes planted"
for bad in game/PlantedSdl.cpp scene/PlantedGl.h enemy/PlantedStb.cpp audio/PlantedMpg.cpp \
           platform/PlantedGame.cpp core/PlantedPlatform.h physics/PlantedGame.cpp item/PlantedApp.cpp game/PlantedOde.h \
           effect/PlantedTop.cpp game/PlantedEnemy.cpp enemy/PlantedItem.cpp hud/PlantedResult.cpp; do
    echo "$report" | grep -q "^$bad:1:" || fail "$bad was not reported"
done
for bad in scene/PlantedDevice.cpp enemy/PlantedSprite.cpp; do
    echo "$report" | grep -q "^$bad:1: .* gfx/Render.h" || fail "$bad was not reported"
done
echo "$report" | grep -q "PlantedFine" && fail "an allowed include was reported"
echo "$report" | grep -q "13 include(s)" || fail "the count is wrong: $report"
echo "$report" | grep -q "^extra: a folder of sources with no rank" || fail "the unranked folder was not reported"
echo "$report" | grep -q "2 use(s) of the device" || fail "the device count is wrong: $report"
echo "ok"
