// A desktop has no page: its runs end with their exit code.
#include "platform/page.h"

void PublishFrame(int32_t) {}

void PublishRunEnd(int) {}
