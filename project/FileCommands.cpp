#include "project/FileCommands.h"
