// Progress through a scene's span, in single precision, and the end of the piece.
#include "scenes/lum_scenes.h"

namespace {

bool g_pieceEndRequested = false;

} // namespace

float lum_genericscene::Progress(int32_t time) const
{
    if (StartTime == 0 && EndTime == 0) return -1.0f;
    if (StartTime <= time && time < EndTime) {
        // Both differences are taken as integers, then divided in floating point.
        const int64_t elapsed = static_cast<int64_t>(time) - StartTime;
        const int64_t length = static_cast<int64_t>(EndTime) - StartTime;
        return static_cast<float>(static_cast<double>(elapsed) / static_cast<double>(length));
    }
    return -1.0f;
}

void EndPiece()
{
    g_pieceEndRequested = true;
}

bool PieceEndRequested()
{
    return g_pieceEndRequested;
}

void ClearPieceEnd()
{
    g_pieceEndRequested = false;
}
