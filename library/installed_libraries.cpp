#include "library/installed_libraries.h"

#include "library/user_media_folder.h"
#include "platform/program_folder.h"

namespace quillo {

MediaLibrary installedLibraries()
{
    return {RunningProgramFolder().path(), userMediaFolder()};
}

}  // namespace quillo
