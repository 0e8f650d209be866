#include "project/InputFile.h"
