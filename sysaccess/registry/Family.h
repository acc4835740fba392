#pragma once
// The two registry layouts the store can behave as.
namespace sysaccess::registry {

// Win9x: subkeys in creation order, a deletion takes the whole subtree.
// NT: subkeys sorted by upper-cased name, a key with subkeys cannot be deleted.
enum class Family { Win9x = 1, NT = 2 };

}  // namespace sysaccess::registry
