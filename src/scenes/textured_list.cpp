// Mesh folders with their textures.
#include "scenes/textured_list.h"

#include "resources/globaldata.h"
#include "resources/lum_textures.h"

#include <algorithm>
#include <string>

ListTextures ResolveListTextures(const GeoxList& list, std::string_view prefix)
{
    ListTextures textures;
    const int entries = std::min(list.count, static_cast<int>(list.filteredNames.size()));
    for (int i = 0; i < entries; ++i)
        textures.ids.push_back(FindTexture(GlobalTextures, std::string(prefix) + list.filteredNames[i]));
    return textures;
}

int DrawableEntries(const GeoxList& list, const ListTextures& textures)
{
    const size_t entries = std::min({static_cast<size_t>(std::max(list.count, 0)), list.meshes.size(),
                                     list.filteredNames.size(), textures.ids.size()});
    return static_cast<int>(entries);
}

void DrawGeoxListTextured(const GeoxList& list, const ListTextures& textures)
{
    const int entries = DrawableEntries(list, textures);
    for (int i = 0; i < entries; ++i) {
        BindTextureId(textures.ids[i]);
        DrawGeoxTextured(list.meshes[i]);
    }
}
