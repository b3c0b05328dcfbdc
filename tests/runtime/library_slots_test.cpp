// Library slots against two small shared objects built for the test.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <string>

#include "runtime/runtime.h"

namespace {
bool StillLoaded(const char *path) {
    void *library = dlopen(path, RTLD_NOW | RTLD_NOLOAD);
    if (library != nullptr)
        dlclose(library);
    return library != nullptr;
}

class LibrarySlots : public ::testing::Test {
  protected:
    void SetUp() override {
        RuntimeStart();
        ASSERT_NE(OpenLibrarySlot(0, SLOT_LIBRARY_FIRST), nullptr);
    }
    void TearDown() override {
        RuntimeEnd();
    }
};

// Every call looks its name up: a missing name or an empty slot makes no call.
TEST_F(LibrarySlots, CallsTheNamedFunctionWithItsArguments) {
    EXPECT_EQ((CallLibraryFunction<int32_t>(0, "SlotAdd", 40, 2)), 42);
    EXPECT_EQ((CallLibraryFunction<int32_t>(0, "NoSuchFunction", 1, 2)), 0);
    EXPECT_EQ((CallLibraryFunction<int32_t>(1, "SlotAdd", 1, 2)), 0);
    EXPECT_EQ((CallLibraryFunction<int32_t>(-1, "SlotAdd", 1, 2)), 0);
    EXPECT_EQ(CallLibraryFunction<int32_t>(0, "SlotCalls"), 1);
}

TEST_F(LibrarySlots, AFailedLoadLeavesTheSlotAsItWas) {
    void *first = LibrarySlotHandle(0);
    EXPECT_EQ(LibrarySlotError(), "");
    EXPECT_EQ(OpenLibrarySlot(0, "/nonexistent/library.so"), nullptr);
    EXPECT_NE(LibrarySlotError().find("library.so"), std::string::npos);
    EXPECT_EQ(OpenLibrarySlot(0, nullptr), nullptr);
    EXPECT_EQ(LibrarySlotHandle(0), first);
}

TEST_F(LibrarySlots, ASecondOpenUnloadsTheFirstLibrary) {
    ASSERT_NE(OpenLibrarySlot(0, SLOT_LIBRARY_SECOND), nullptr);
    EXPECT_FALSE(StillLoaded(SLOT_LIBRARY_FIRST));
    EXPECT_EQ(std::string(CallLibraryFunction<const char *>(0, "SlotTag")), "second");
}

TEST_F(LibrarySlots, CloseAndRuntimeEndUnload) {
    ASSERT_NE(OpenLibrarySlot(12, SLOT_LIBRARY_SECOND), nullptr); // beyond the first ten
    CloseLibrarySlot(0);
    EXPECT_EQ(LibrarySlotHandle(0), nullptr);
    EXPECT_FALSE(StillLoaded(SLOT_LIBRARY_FIRST));
    CloseLibrarySlot(0); // empty: left alone
    RuntimeEnd();
    EXPECT_EQ(LibrarySlotHandle(12), nullptr);
    EXPECT_FALSE(StillLoaded(SLOT_LIBRARY_SECOND));
}
} // namespace
