// Entry of the Windows-side tests: the resources are the executable's own, as in the product.
#include <gtest/gtest.h>

#include "sys/module_instance.h"

int main(int argc, char** argv) {
  instanceHandle = GetModuleHandleA(nullptr);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
