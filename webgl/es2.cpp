// The ES 2.0 entry point table.
#include "webgl/es2.h"

Es2Functions es2;

bool LoadEs2(ProcAddressFunction procAddress, const char *&missing) {
    missing = nullptr;
#define ES2_LOAD(result, name, parameters)                                                         \
    es2.name = reinterpret_cast<result(*) parameters>(procAddress("gl" #name));                    \
    if (es2.name == nullptr && missing == nullptr)                                                 \
        missing = "gl" #name;
    ES2_ENTRY_POINTS(ES2_LOAD)
#undef ES2_LOAD
    return missing == nullptr;
}
