// The registry contracts against the in-memory stand-in.
#include "tests/contract/memory_environment.h"
#include "tests/contract/registry_access_contract.h"

namespace hs::contract {

INSTANTIATE_TYPED_TEST_SUITE_P(Memory, RegistryContract, MemoryEnvironment);
INSTANTIATE_TYPED_TEST_SUITE_P(Memory, RegistryAccessContract, MemoryEnvironment);

} // namespace hs::contract
