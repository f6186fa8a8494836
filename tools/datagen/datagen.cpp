// The data set generator.
#include "datagen/datagen.h"
