# 32-bit ARM with the handheld's instruction set: ARMv5TE, soft float, built
# with Debian's cross compiler (g++-arm-linux-gnueabi). Programs built here run
# under qemu-user (qemu-arm), which CTest and GoogleTest's discovery use as the
# emulator, with the target's C and C++ runtime from Debian's cross packages.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)

set(CMAKE_C_COMPILER arm-linux-gnueabi-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabi-g++)
set(CMAKE_C_FLAGS_INIT "-march=armv5te -mfloat-abi=soft")
set(CMAKE_CXX_FLAGS_INIT "-march=armv5te -mfloat-abi=soft")

set(PLASMA_ARM_SYSROOT /usr/arm-linux-gnueabi)
set(CMAKE_FIND_ROOT_PATH ${PLASMA_ARM_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# An ARM926 core (ARMv5TEJ): an instruction newer than the handheld's faults.
find_program(PLASMA_QEMU_ARM qemu-arm REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${PLASMA_QEMU_ARM} -cpu arm926 -L ${PLASMA_ARM_SYSROOT})
