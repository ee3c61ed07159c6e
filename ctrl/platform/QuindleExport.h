#pragma once

// Marks the classes and functions that libquindle.so exports; the library is
// built with hidden visibility, so everything else stays inside it.
#define QUINDLE_EXPORT __attribute__((visibility("default")))
