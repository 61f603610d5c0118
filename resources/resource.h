#pragma once
// Resource ids of the client. Skin images are PNG resources of the custom type
// "PNG" with numeric ids; the icon group 128 is the client's icon.

// clang-format off: the ids stand in one column.
#define IDI_VORN 128

// Skin images (PNG), drawn by tools/make-skin.sh.
#define IDP_LAUNCHER 145             // launcher artwork (1154 x 704)
#define IDP_LAUNCH_HOME 131          // launcher button 官方网站, normal
#define IDP_LAUNCH_FORUM 132         // launcher button 游戏论坛, normal
#define IDP_LAUNCH_SERVICE 133       // launcher button 客服中心, normal
#define IDP_LAUNCH_PAY 134           // launcher button 充值中心, normal
#define IDP_LAUNCH_HOME_HOVER 155    // 官方网站, hover and pressed
#define IDP_LAUNCH_FORUM_HOVER 151   // 游戏论坛, hover and pressed
#define IDP_LAUNCH_SERVICE_HOVER 152 // 客服中心, hover and pressed
#define IDP_LAUNCH_PAY_HOVER 156     // 充值中心, hover and pressed
#define IDP_LAUNCH_CLOSE 130         // launcher close, normal
#define IDP_LAUNCH_CLOSE_HOVER 153   // launcher close, hover and pressed
#define IDP_LAUNCH_MIN 135           // launcher minimise, normal
#define IDP_LAUNCH_MIN_HOVER 154     // launcher minimise, hover and pressed
#define IDP_TITLE_BAR 217            // game title bar background
#define IDP_TITLE_ICON 137           // game title bar icon
#define IDP_TITLE_CLOSE 209          // title bar close, normal
#define IDP_TITLE_CLOSE_HOVER 210    // title bar close, hover and pressed
#define IDP_TITLE_MAX 211            // title bar maximise, normal
#define IDP_TITLE_MAX_HOVER 212      // title bar maximise, hover and pressed
#define IDP_TITLE_MIN 213            // title bar minimise, normal
#define IDP_TITLE_MIN_HOVER 214      // title bar minimise, hover and pressed
#define IDP_TITLE_RESTORE 215        // title bar restore, normal
#define IDP_TITLE_RESTORE_HOVER 216  // title bar restore, hover and pressed
#define IDP_TITLE_MENU 196           // title bar menu (wrench), normal
#define IDP_TITLE_MENU_HOVER 208     // title bar menu (wrench), hover and pressed
#define IDP_LINK_SERVICE 138         // link strip 客服 (normal | hover)
#define IDP_LINK_FORUM 139           // link strip 论坛
#define IDP_LINK_HOME 140            // link strip 官网
#define IDP_LINK_PAY 141             // link strip 充值
#define IDP_TITLE_MUTED 218          // title bar: the game is muted, normal
#define IDP_TITLE_MUTED_HOVER 219    // title bar: the game is muted, hover and pressed
#define IDP_ROW_FULL_SCREEN 220      // menu row icon 全屏
#define IDP_ROW_SCREENSHOT 221       // menu row icon 截图
#define IDP_ROW_MUTE 222             // menu row icon 静音
#define IDP_ROW_SOUND 223            // menu row icon 取消静音
#define IDP_CLOSE_PANEL 142          // close confirmation panel
#define IDP_CLOSE_OK 144             // 确定, normal
#define IDP_CLOSE_OK_HOVER 146       // 确定, hover and pressed
#define IDP_CLOSE_CANCEL 147         // 取消, normal
#define IDP_CLOSE_CANCEL_HOVER 148   // 取消, hover and pressed
// clang-format on
