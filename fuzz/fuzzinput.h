#pragma once
#include "core/bridgejson.h"
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <cstdint>
#include <cstdlib>

// Every target starts the same (LLVMFuzzerInitialize, in fuzzinput.cpp):
// quiet logging (the lines are still built, so their formatting is fuzzed
// too) and no portal.ini look-ups.

// A failed invariant: libFuzzer keeps the input that broke it.
#define FUZZ_CHECK(condition)                                                                         \
    do {                                                                                              \
        if (!(condition)) {                                                                           \
            fprintf(stderr, "invariant failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__);         \
            abort();                                                                                  \
        }                                                                                             \
    } while (false)

inline QByteArray fuzzBytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), int(qMin<size_t>(size, 1 << 24)));
}

// A bridge message as a corpus file spells it: the code as decimal text on
// the first line, the json text after it; parsed as a page's would be.
BridgeMessage bridgeMessage(const uint8_t *data, size_t size);
