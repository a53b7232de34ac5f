#pragma once

// Icon and dialog template.
#define IDI_SETUP 128
#define IDD_MESSAGE_BOX 226

// Pictures, resource type "PNG".
#define IDP_SHADOW 219
#define IDP_CLOSE_HOVER 220
#define IDP_CLOSE_NORMAL 221
#define IDP_CLOSE_PRESSED 222
#define IDP_MINIMIZE_HOVER 223
#define IDP_MINIMIZE_NORMAL 224
#define IDP_MINIMIZE_PRESSED 225
#define IDP_BOX_SECOND 227
#define IDP_BOX_FIRST_HOVER 228
#define IDP_BOX_FIRST 229
#define IDP_BOX_SECOND_HOVER 230
#define IDP_BANNER 231
#define IDP_BROWSE_NORMAL 232
#define IDP_MAIN_HOVER 233
#define IDP_MAIN_NORMAL 234
#define IDP_BROWSE_HOVER 235
#define IDP_CHECK_OFF 236
#define IDP_CHECK_ON 237

// The same pictures drawn for 150 % and 200 %: the 100 % id plus ten times the
// percentage (1719 is the shadow at 150 %, 2219 at 200 %). ScaledPictures.rc lists them.
#define ScaledPictureId(id, percent) ((id) + 10 * (percent))
