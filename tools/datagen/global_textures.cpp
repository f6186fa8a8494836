// "Data\globaltextures.ini" and its pictures: every texture the scenes bind without a
// folder prefix, plus the loader picture. The formats are spread on purpose so that the
// data set exercises every path of the texture loader: plain JPEG (found through the
// default file name), packed JPEG named by its plain name, 32-bit BMP, a ".cashed.bmp"
// shadowing a plain JPEG, packed and plain alpha maps, filters 0, 1 and 2 written in
// decimal, "0x" and "$" forms.
#include "datagen/families.h"

#include "datagen/textures.h"

#include "base/picture_size.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

enum class Format {
    Jpeg,        // file.jpg
    PackedJpeg,  // file.jpg.packed only; the list names file.jpg
    Bmp32,       // file.bmp
    CachedBmp,   // file.jpg and file.jpg.cashed.bmp, which the loader prefers
};

struct GlobalTexture {
    std::string name;
    Canvas picture;
    Format format;
    bool alpha;               // an alpha map from the canvas alpha
    bool packedAlpha;         // the alpha map as a packed JPEG
    std::string filter;       // "" leaves the key out
    bool defaultFileName;     // no "filename" key: the loader takes name + ".jpg" in Data
};

// A picture in the larger images of a texture of the list, for pictures drawn large.
struct LargerPicture {
    std::string name;
    Canvas picture;
};

constexpr int kColourQuality = 88;
constexpr int kAlphaQuality = 92;

// Writes the files of one texture, with `picture` for its picture, and returns its list entry.
TextureListEntry WriteGlobalTexture(const DataTree& tree, const GlobalTexture& texture, const Canvas& picture, int index)
{
    TextureListEntry entry;
    entry.index = index;
    entry.name = texture.name;
    entry.filter = texture.filter;
    const std::string stem = texture.defaultFileName ? texture.name : "textures/" + texture.name;
    const std::string listStem = texture.defaultFileName ? texture.name : "textures\\" + texture.name;
    const RgbImage rgb = ToRgb(picture);
    switch (texture.format) {
    case Format::Jpeg:
        tree.Write(stem + ".jpg", EncodeJpeg(rgb, kColourQuality));
        if (!texture.defaultFileName) entry.filename = listStem + ".jpg";
        break;
    case Format::PackedJpeg:
        tree.Write(stem + ".jpg.packed", EncodeLzhufPacked(EncodeJpeg(rgb, kColourQuality)));
        entry.filename = listStem + ".jpg";
        break;
    case Format::Bmp32:
        tree.Write(stem + ".bmp", EncodeBmp32(rgb));
        entry.filename = listStem + ".bmp";
        break;
    case Format::CachedBmp:
        tree.Write(stem + ".jpg", EncodeJpeg(rgb, kColourQuality));
        tree.Write(stem + ".jpg.cashed.bmp", EncodeBmp32(rgb));
        entry.filename = listStem + ".jpg";
        break;
    }
    if (texture.alpha) {
        const std::vector<uint8_t> alpha = EncodeGreyJpeg(AlphaToGrey(picture), kAlphaQuality);
        if (texture.packedAlpha) {
            tree.Write(stem + "_alpha.jpg.packed", EncodeLzhufPacked(alpha));
        } else {
            tree.Write(stem + "_alpha.jpg", alpha);
        }
        entry.filenameAlpha = listStem + "_alpha.jpg";
    }
    return entry;
}

// The textures that fill much of a picture drawn large, painted `scale` times their size
// (the larger images of LargerImageScales): the skies, the ground, the film grain, and the
// sign, which is painted at its size. The grain's dust, hairs and scratches keep their size on
// screen while its grain gets finer with the texture; the title and the loader picture are
// painted at one size for all and have only their doubles.
std::vector<LargerPicture> LargerPictures(int scale)
{
    const Canvas sky = PaintSky(512 * scale);
    const Canvas ground = PaintGrassBottom(512 * scale);
    std::vector<LargerPicture> pictures = {
        {"sky", sky},
        {"skybw", Desaturate(sky, 1.25f)},
        {"grassbottom", ground},
        {"grassbottombw", Desaturate(Resize(ground, 256 * scale, 256 * scale), 1.2f)},
        {"flatsky", PaintFlatSky(512 * scale)},
        {"noise", PaintFilmNoise(1024 * scale)},
    };
    if (scale == 2) {
        pictures.push_back({"title", PaintTitle(512 * scale)});
        pictures.push_back({"prepare", PaintPrepareSign(512 * scale)});
    }
    return pictures;
}

} // namespace

void GenerateGlobalTextures(const DataTree& tree)
{
    const Canvas sky = PaintSky(512);
    const Canvas ground = PaintGrassBottom(512);
    const Canvas groundSmall = Resize(ground, 256, 256);
    const Canvas grass = PaintGrassTuft(256);
    const Canvas treeCard = PaintTreeCard(512);

    // Order matters only for lookups of duplicate names; there are none. The skies are
    // filtered linearly without mipmaps ("2"): seen from inside the dome, 512 texels around
    // it, they are magnified everywhere but within a few degrees of the zenith, so the mipmap
    // filter only cost every sky pixel its level-of-detail sums (about 0.3 ms a landscape
    // frame) for the picture it already had.
    const std::vector<GlobalTexture> textures = {
        {"sky", sky, Format::Jpeg, false, false, "2", true},
        {"skybw", Desaturate(sky, 1.25f), Format::PackedJpeg, false, false, "2", false},
        {"grassbottom", ground, Format::Jpeg, false, false, "", false},
        {"grassbottombw", Desaturate(groundSmall, 1.2f), Format::CachedBmp, false, false, "", false},
        {"grass", grass, Format::PackedJpeg, true, true, "", false},
        {"grassbw", Desaturate(grass, 1.1f), Format::Jpeg, true, false, "", false},
        {"tree", treeCard, Format::PackedJpeg, true, true, "", false},
        {"treebw", Desaturate(treeCard, 1.2f), Format::PackedJpeg, true, false, "", false},
        {"flatsky", PaintFlatSky(512), Format::PackedJpeg, false, false, "", false},
        {"leaf1", PaintLeaf(1, 256), Format::Jpeg, true, false, "", false},
        {"leaf2", PaintLeaf(2, 256), Format::PackedJpeg, true, true, "", false},
        {"leaf3", PaintLeaf(3, 256), Format::Bmp32, true, false, "", false},
        {"leaf4", PaintLeaf(4, 256), Format::PackedJpeg, true, true, "", false},
        {"leaf5", PaintLeaf(5, 256), Format::PackedJpeg, true, true, "0", false},
        {"leaf5shadow", PaintLeafShadow(128), Format::Jpeg, true, false, "1", false},
        {"waterleafs", PaintWater(512), Format::PackedJpeg, false, false, "", false},
        {"lightsphere", PaintLightSphere(256), Format::PackedJpeg, false, false, "2", false},
        {"vinget", PaintVignette(256), Format::Jpeg, true, true, "0x2", false},
        {"noise", PaintFilmNoise(1024), Format::PackedJpeg, true, true, "$2", false},
        {"title", PaintTitle(512), Format::PackedJpeg, false, false, "2", false},
        {"atom", PaintAtomLeaf(256), Format::PackedJpeg, true, true, "", false},
        {"prepare", PaintPrepareSign(512), Format::PackedJpeg, true, true, "", false},
        {"bigshadow", PaintBigShadow(256), Format::Jpeg, true, false, "", false},
    };
    std::vector<TextureListEntry> entries;
    for (size_t i = 0; i < textures.size(); ++i)
        entries.push_back(WriteGlobalTexture(tree, textures[i], textures[i].picture, static_cast<int>(i)));
    tree.Write("globaltextures.ini", EncodeTextureList(entries));
    // The larger images go below Data/<scale>x under the same names, as plain JPEGs: large
    // images gain nothing from packing and would only load more slowly.
    for (const LargerImages& larger : LargerImageScales) {
        const DataTree largerTree = LargerImageTree(tree, larger.scale);
        for (const LargerPicture& picture : LargerPictures(larger.scale)) {
            GlobalTexture plain = *std::find_if(textures.begin(), textures.end(),
                                                [&](const GlobalTexture& t) { return t.name == picture.name; });
            plain.format = Format::Jpeg;
            plain.packedAlpha = false;
            WriteGlobalTexture(largerTree, plain, picture.picture, 0);
        }
    }

    // The loader picture is loaded by the start-up, not by the list; it has a double too.
    tree.Write("loader.jpg.packed", EncodeLzhufPacked(EncodeJpeg(ToRgb(PaintLoader(512)), kColourQuality)));
    LargerImageTree(tree, 2).Write("loader.jpg.packed",
                                   EncodeLzhufPacked(EncodeJpeg(ToRgb(PaintLoader(1024)), kColourQuality)));
}
