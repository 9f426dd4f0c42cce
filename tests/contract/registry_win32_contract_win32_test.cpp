// The registry contracts against the real advapi32 calls.
#include "tests/contract/registry_access_contract.h"
#include "tests/contract/win32_environment.h"

namespace hs::contract {

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, RegistryContract, Win32Environment);
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, RegistryAccessContract, Win32Environment);

} // namespace hs::contract
