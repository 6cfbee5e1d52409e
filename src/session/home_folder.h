// Where the program lives: its home folder (settings file, relative run folders and set
// names) and the folder it was started in, declared with the public file helpers.
#pragma once

#include "morvik/files.h"
