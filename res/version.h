// The one place the program's version is set.
#pragma once

#define SETUP_VERSION_MAJOR 1
#define SETUP_VERSION_MINOR 0
#define SETUP_VERSION_PATCH 0
#define SETUP_VERSION_TEXT "1.0.0"
