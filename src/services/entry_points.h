// The services module's entry points in the order they are linked.
#pragma once

#include <tarvel_services.h>

#define QO_ENTRY_POINTS(X)                                                                         \
    X(GetDLLVersionAsString)                                                                       \
    X(GetDLLVersionAsInt)                                                                          \
    X(Initialize)                                                                                  \
    X(ShutDown)                                                                                    \
    X(EnterMenuSession)                                                                            \
    X(IsTheMenuSessionComplete)                                                                    \
    X(DrawNextFrameIntoBuffer)                                                                     \
    X(GetNumberOfRectsToUpdate)                                                                    \
    X(GetUpdateRect)                                                                               \
    X(HandleWindowsMessage)                                                                        \
    X(SetPalette)                                                                                  \
    X(GetValueAsString)                                                                            \
    X(GetValueAsInt)                                                                               \
    X(GetValueAsFloat)                                                                             \
    X(IsASystemUpdateRequired)                                                                     \
    X(GetLastErrorInformation)

// One pointer per entry point; all null while no library is linked.
struct EntryTable {
#define QO_ENTRY_FIELD(name) qodll_##name##_t name;
    QO_ENTRY_POINTS(QO_ENTRY_FIELD)
#undef QO_ENTRY_FIELD
};
