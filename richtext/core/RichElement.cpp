#include "RichElement.h"

const SharedString& DefaultFace()
{
    static const SharedString face = MakeSharedString(DefaultFaceName);
    return face;
}
