// lantern-tool camera FILE [X ...]: loads a ".camera" file as the scenes do and prints its
// record count, then for each fraction X the ten fields of the evaluated camera (fov, eye,
// centre, up), one line per X. A ".path" file is read as the killthroat scene reads its
// throat path, for its eye positions only. A file the loader refuses ends with exit code 1.
#include "command.h"

#include "base/error.h"
#include "render/lum_camera.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <strings.h>
#include <vector>

namespace {

struct CameraOptions {
    std::string file;
    std::vector<std::string> fractions;
};

float ParseFraction(const std::string& text)
{
    char* end = nullptr;
    errno = 0;
    const float value = std::strtof(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno == ERANGE)
        throw FatalError(StrFormat("camera: \"%s\" is not a number", text.c_str()));
    // strtof reads "nan" and "inf" too; a path is evaluated at finite fractions only.
    if (!std::isfinite(value)) throw FatalError(StrFormat("camera: \"%s\" is not a finite number", text.c_str()));
    return value;
}

bool IsEyePath(const std::string& file)
{
    constexpr std::string_view kSuffix = ".path";
    return file.size() >= kSuffix.size() &&
           ::strcasecmp(file.c_str() + file.size() - kSuffix.size(), kSuffix.data()) == 0;
}

int Run(const CameraOptions& options)
{
    std::vector<float> fractions;
    for (const std::string& text : options.fractions) fractions.push_back(ParseFraction(text));

    static CameraPath path{};
    LoadCameraPath(path, options.file, IsEyePath(options.file) ? CameraFileUse::EyePath : CameraFileUse::Camera);
    std::printf("%d records\n", path.count);
    for (const float x : fractions) {
        CameraRecord camera{};
        EvaluateCameraPath(camera, path, x);
        for (int f = 0; f < 10; ++f)
            std::printf(f == 0 ? "%.9g" : " %.9g", static_cast<double>(camera.*CameraFields[f]));
        std::printf("\n");
    }
    return 0;
}

void Setup(CLI::App& command, std::function<int()>& run)
{
    auto options = std::make_shared<CameraOptions>();
    command.add_option("FILE", options->file, "the .camera file")->required();
    command.add_option("X", options->fractions, "fractions of the path to evaluate, in [0, 1)");
    run = [options] { return Run(*options); };
}

const bool registered =
    RegisterCommand("camera", "print a camera path's record count and its cameras at fractions X", &Setup);

} // namespace
