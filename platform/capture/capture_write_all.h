// Writing a whole buffer into a file at a given offset, as the capture's files are written.
//
//   WriteAll  writes all `size` bytes at `offset` (a short write goes on where it stopped, an
//             interrupted one is repeated); false with errno set on failure. The file's own
//             position is neither used nor moved, so a file cut back needs no seek.
#ifndef ZARVO_PLATFORM_CAPTURE_CAPTURE_WRITE_ALL_H
#define ZARVO_PLATFORM_CAPTURE_CAPTURE_WRITE_ALL_H

#include <sys/types.h>

#include <cstddef>

namespace capture {

bool WriteAll(int fd, const void* data, std::size_t size, off_t offset);

} // namespace capture

#endif
