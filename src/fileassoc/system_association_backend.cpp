#include "fileassoc/association_backend.h"
#include "fileassoc/desktop_association.h"

namespace zuv {

// On this system associations are the desktop's MIME defaults.
std::unique_ptr<AssociationBackend> CreateSystemAssociationBackend()
{
    return std::make_unique<DesktopAssociationBackend>();
}

} // namespace zuv
