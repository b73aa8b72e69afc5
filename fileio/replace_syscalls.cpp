// The system calls behind AtomicReplace, in one table a test can swap.
#include "fileio/atomic_replace.h"

#include <stdio.h>
#include <unistd.h>

namespace fotrix {

const ReplaceSyscalls& replaceSyscallsOfSystem()
{
    static const ReplaceSyscalls system = {::write, ::fsync, ::renameat};
    return system;
}

ReplaceSyscalls& replaceSyscalls()
{
    static ReplaceSyscalls current = replaceSyscallsOfSystem();
    return current;
}

}  // namespace fotrix
