// The scene classes and the objects made of them.
#include "timeline/scene_factory.h"

#include "scenes/scene_atom.h"
#include "scenes/scene_baken.h"
#include "scenes/scene_cup.h"
#include "scenes/scene_cuptwo.h"
#include "scenes/scene_giorl.h"
#include "scenes/scene_grass.h"
#include "scenes/scene_greet.h"
#include "scenes/scene_intro.h"
#include "scenes/scene_killfall.h"
#include "scenes/scene_killme.h"
#include "scenes/scene_killself.h"
#include "scenes/scene_killthroat.h"
#include "scenes/scene_outro.h"
#include "scenes/scene_season.h"
#include "scenes/scene_sign.h"
#include "scenes/scene_smallfall.h"
#include "scenes/scene_sphere.h"
#include "scenes/scene_stair.h"
#include "scenes/scene_subbaken.h"
#include "scenes/scene_subself.h"
#include "scenes/scene_title.h"
#include "scenes/scene_waterfilled.h"
#include "scenes/scene_waterover.h"
#include "scenes/scene_waterunder.h"
#include "timeline/scene_meat.h"
#include "timeline/scene_meatkilla.h"
#include "timeline/scene_meatmore.h"
#include "timeline/scene_meatrepeat.h"

namespace {

struct SceneClass {
    std::string_view name;
    lum_genericscene* (*create)();
};

template <class Scene>
lum_genericscene* Make()
{
    return new Scene;
}

constexpr SceneClass kClasses[] = {
    {"title", Make<tscene_title>},           {"intro", Make<tscene_intro>},
    {"greet", Make<tscene_greet>},           {"outro", Make<tscene_outro>},
    {"season", Make<tscene_season>},         {"baken", Make<tscene_baken>},
    {"atom", Make<tscene_atom>},             {"grass", Make<tscene_grass>},
    {"giorl", Make<tscene_giorl>},           {"sign", Make<tscene_sign>},
    {"smallfall", Make<tscene_smallfall>},   {"waterover", Make<tscene_waterover>},
    {"waterunder", Make<tscene_waterunder>}, {"waterfilled", Make<tscene_waterfilled>},
    {"cup", Make<tscene_cup>},               {"cuptwo", Make<tscene_cuptwo>},
    {"stair", Make<tscene_stair>},           {"sphere", Make<tscene_sphere>},
    {"killme", Make<tscene_killme>},         {"killfall", Make<tscene_killfall>},
    {"killself", Make<tscene_killself>},     {"killthroat", Make<tscene_killthroat>},
    {"subbaken", Make<tscene_subbaken>},     {"subself", Make<tscene_subself>},
    {"meat", Make<tscene_meat>},             {"meatmore", Make<tscene_meatmore>},
    {"meatrepeat", Make<tscene_meatrepeat>}, {"meatkilla", Make<tscene_meatkilla>},
};
constexpr bool ListedInOrder()
{
    if (std::size(kClasses) != SceneClassNames.size()) return false;
    for (size_t i = 0; i < SceneClassNames.size(); ++i)
        if (kClasses[i].name != SceneClassNames[i]) return false;
    return true;
}
static_assert(ListedInOrder(), "every listed scene class can be made by its name");

// The objects made so far, in the order they were made: the table's fourteen and the montage
// scenes' sixteen sub-scenes.
struct MadeScene {
    std::string_view name;
    lum_genericscene* object;
};
constexpr int kMaxSceneObjects = 64;
MadeScene g_made[kMaxSceneObjects];
int g_madeCount = 0;

} // namespace

lum_genericscene* CreateScene(std::string_view name)
{
    for (const SceneClass& sceneClass : kClasses) {
        if (sceneClass.name != name) continue;
        if (g_madeCount == kMaxSceneObjects) return nullptr;
        lum_genericscene* scene = sceneClass.create();
        g_made[g_madeCount++] = {sceneClass.name, scene};
        return scene;
    }
    return nullptr;
}

lum_genericscene* FindSceneObject(std::string_view name)
{
    for (int i = 0; i < g_madeCount; ++i)
        if (g_made[i].name == name) return g_made[i].object;
    return nullptr;
}

lum_genericscene* FindSceneObjectSpanning(std::string_view name, int32_t msIntoSpan)
{
    lum_genericscene* longest = nullptr;
    int64_t longestSpan = -1;
    for (int i = 0; i < g_madeCount; ++i) {
        if (g_made[i].name != name) continue;
        lum_genericscene* scene = g_made[i].object;
        const int64_t span = static_cast<int64_t>(scene->EndTime) - scene->StartTime;
        if (msIntoSpan >= 0 && msIntoSpan < span) return scene;
        if (span > longestSpan) {
            longest = scene;
            longestSpan = span;
        }
    }
    return longest;
}

std::string_view SceneClassName(const lum_genericscene& scene)
{
    for (int i = 0; i < g_madeCount; ++i)
        if (g_made[i].object == &scene) return g_made[i].name;
    return {};
}
