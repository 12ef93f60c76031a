#pragma once
// Fuzz targets, one per parser of charger answers and stored texts. Each takes
// arbitrary bytes, must not crash, and aborts when a result breaks what its
// callers rely on.
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace velmara::fuzz {

int statusAnswer(const uint8_t* data, size_t size);
int programString(const uint8_t* data, size_t size);
int endValueAnswer(const uint8_t* data, size_t size);
int valueString(const uint8_t* data, size_t size);
int answerFrame(const uint8_t* data, size_t size);

inline QString latin1(const uint8_t* data, size_t size) {
    return QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
}

// A broken promise is a finding: stop hard so both drivers see it.
inline void require(bool ok) {
    if (!ok)
        std::abort();
}

} // namespace velmara::fuzz
