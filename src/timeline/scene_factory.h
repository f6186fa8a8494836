// The scene classes by name. Every scene object of the piece is made here (the scene table's
// fourteen and the montage scenes' sub-scenes), so any of them can be found by the name of its
// class: the way `lantern shot --scene` and the benchmark reach sub-scenes.
#pragma once

#include "scenes/lum_scenes.h"

#include <array>
#include <cstdint>
#include <string_view>

// The 28 scene classes, each the class name without its "tscene_" prefix.
inline constexpr std::array<std::string_view, 28> SceneClassNames{
    "title",  "intro",      "greet",    "outro",     "season",    "baken",      "atom",
    "grass",  "giorl",      "sign",     "smallfall", "waterover", "waterunder", "waterfilled",
    "cup",    "cuptwo",     "stair",    "sphere",    "killme",    "killfall",   "killself",
    "killthroat", "subbaken", "subself", "meat",     "meatmore",  "meatrepeat", "meatkilla"};

// A new object of the named class (nothing loaded, span 0 .. 0), remembered under its name;
// nullptr for a name that is no scene class. Objects live until the process ends.
lum_genericscene* CreateScene(std::string_view name);

// The first object made of the named class (the scene table's before any montage's), or
// nullptr when none was made.
lum_genericscene* FindSceneObject(std::string_view name);
// The first object of the named class whose span is longer than msIntoSpan, so that the time
// lies inside it: the sphere is drawn at 12500 as the scene table's object (a span of 18111),
// at 50000 as one of meatrepeat's (0 .. 100000). When no span is that long, the object with
// the longest span; nullptr when none was made.
lum_genericscene* FindSceneObjectSpanning(std::string_view name, int32_t msIntoSpan);

// The class name of an object made by CreateScene ("" for any other object).
std::string_view SceneClassName(const lum_genericscene& scene);
