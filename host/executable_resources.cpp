#include "host/executable_resources.h"

#include "platform/device.h"
#include "resources/embedded_resources.h"
#include "resources/resource_ids.h"

void InstallExecutableResources() {
    static const device::Resource table[] = {
        {device::ResourceType::kIconGroup, IDI_PLASMA, kPlasmaIcon, kPlasmaIconSize},
    };
    device::SetResources(table, sizeof table / sizeof table[0]);
}
