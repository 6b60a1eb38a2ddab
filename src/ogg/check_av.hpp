#pragma once

// Returns for an FFmpeg result of 0 or more; for a negative one throws
// std::runtime_error carrying FFmpeg's own description of the code (at most 63
// characters, nothing added). EAGAIN and EOF are failures here too.
void check_av(int result);
