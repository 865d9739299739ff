# The windows of the lucky-draw program: every control with its initial values, the pop-up
# menu and the routine bound to every event. Compiled into the template block at build time
# (tools/template_compiler); the syntax is described in src/framework/template_source.h.
#
# Positions are pixels relative to the parent. Colours are 0x00BBGGRR. Fonts are
# "face,height in pixels,styles".

window MainWindow 50 50 1000 760 border=0 backcolor=0x000000FF
    icon=asset:luckydraw.ico caption="幸运大抽奖"
    on.created=StartUp on.rightdown=ShowPopupMenu on.activated=ActivateStage
    on.deactivated=DeactivateStage on.mayclose=ExitRequested

# --- Draw elements ---------------------------------------------------------------------
TransLabel 透明标签_主标题 32 20 976 61 text="某某公司销售现场抽奖活动"
    font="宋体,64,bold" color=0x00FFFFFF
    on.rightdown=ShowPopupMenu on.leftdown=MoveElement
TransLabel 透明标签_副标题 8 120 1024 38 text="----------2011年销售现场抽奖活动---------\r\n\r\n"
    font="幼圆,27,bold" color=0x00FFFFFF
    on.rightdown=ShowPopupMenu on.leftdown=MoveElement
PicBox 图片框_照片 696 -16 500 400 mode=2
    on.rightdown=ShowPopupMenu on.leftdown=MoveElement
TransLabel 透明标签_中奖人 68 344 920 80 font="宋体,64,bold" color=0x0000FFFF
    on.rightdown=ShowPopupMenu on.leftdown=MoveElement
TransLabel 透明标签_恭喜 -8 440 976 48 align=2 font="宋体,48,bold" color=0x0000FFFF
    on.rightdown=ShowPopupMenu on.leftdown=MoveElement
TransLabel 透明标签_抽取进度 296 704 80 40 align=2 font="宋体,20,bold" color=0x000080FF
    on.rightdown=ShowPopupMenu on.leftdown=MoveElement
TransLabel 透明标签_奖项等级 51 697 125 40 text="选择奖项等级："
    font="宋体,19" color=0x00FFFFFF
    on.leftdown=MoveElement
# A drop-down list without an edit field: the operator can only choose a level. The face
# keeps its default size.
ComboBox 组合框1 180 704 108 27 dropdownlist font="宋体,0"
    on.itemchosen=SelectLevelFromList on.leftdown=MoveElement
SuperBtn 超级按钮 416 596 200 70 caption="开始抽奖"
    tooltip="点击开始抽奖（或按空格键开始）" font="隶书,35,bold" color=0x0040E8FF
    face=asset:start_button.jpg
    on.clicked=StartOrStopDraw on.leftdown=MoveElement
TransLabel 透明标签_奖品名称 728 400 0 32 font=",29,bold" color=0x0000FFFF
PicBox 图片框_奖品 728 440 272 224 mode=2
    on.rightdown=ShowPopupMenu on.leftdown=MoveElement
SplitterBar 分隔条_上 720 408 240 1 color=0x000000FF on.positionchanged=ResizePrizeFromBar
SplitterBar 分隔条_下 736 632 224 1 color=0x000000FF on.positionchanged=ResizePrizeFromBar
SplitterBar 分隔条_左 712 416 1 232 vertical color=0x000000FF
    on.positionchanged=ResizePrizeFromBar
SplitterBar 分隔条_右 968 408 1 224 vertical color=0x000000FF
    on.positionchanged=ResizePrizeFromBar
ListBox 列表框_显示抽奖结果 760 16 200 352 hidden

# --- Hidden buffer controls --------------------------------------------------------------
# The Enter hot key is relayed to this label's notification.
Label 标签1_抽奖大标题 80 32 472 80 hidden on.notification=StartOrStopDraw
EditBox 编辑框_判断有无照片 72 648 200 24 hidden multiline
EditBox 编辑框_写出文件 648 344 200 16 hidden multiline
EditBox 结果 24 64 88 32 hidden
EditBox 编辑框1 32 200 40 16 hidden
CommonDlg 通用对话框_字体设置 8 8 40 24 hidden

# --- Timers (stopped until the draw sets an interval) ------------------------------------
Timer 时钟_取随机 8 40 24 24 interval=0 on.tick=RollTick
Timer 时钟_开始 40 40 24 24 interval=0 on.tick=RearmStartButton

# --- Settings panel ----------------------------------------------------------------------
ShapeBox 外形框1 296 176 264 392 hidden on.leftdown=DragSettingsPanel
Label 标签8 238 2 24 18 parent=外形框1 caption="メ" on.leftdown=HideSettingsPanel
GroupBox 分组框1 2 22 260 370 parent=外形框1 caption="设置"
CommonDlg 通用对话框1 408 283 24 24 parent=分组框1 hidden
Label 标签2 35 8 29 25 parent=分组框1 caption="奖项"
Label 标签1 87 8 35 25 parent=分组框1 caption="人数"
Label 标签4 163 8 74 25 parent=分组框1 caption="奖品图片"
# The designated-winner columns lie beyond the group box's right edge (260): clipped, never
# seen, but they hold the values the draw reads.
Label 标签3 288 8 129 25 parent=分组框1 caption="指定中奖人(可指定3人)"

# Level rows: name, count, picture marker, browse, clear, three designated winners.
EditBox 编辑框_奖项1 10 34 60 20 parent=分组框1 order=0 text="特等奖"
EditBox 编辑框_奖项人数1 79 34 40 20 parent=分组框1 order=1
EditBox 编辑框_奖项1图片 124 34 60 20 parent=分组框1 order=-1 disabled text=" "
Button 按钮_奖项1浏览 187 33 25 20 parent=分组框1 caption="《" on.clicked=ChoosePrizePicture
Button 按钮_奖项1浏览1 216 34 35 20 parent=分组框1 caption="清除" on.clicked=ClearPrizePicture
EditBox 编辑框_中奖人1 262 34 60 20 parent=分组框1
EditBox 编辑框_中奖人11 320 34 60 20 parent=分组框1
EditBox 编辑框_中奖人111 384 34 60 20 parent=分组框1

EditBox 编辑框_奖项2 10 62 60 20 parent=分组框1 order=2 text="一等奖"
EditBox 编辑框_奖项人数2 79 62 40 20 parent=分组框1 order=3
EditBox 编辑框_奖项2图片 124 62 60 20 parent=分组框1 disabled text=" "
Button 按钮_奖项2浏览 187 62 25 20 parent=分组框1 caption="《" on.clicked=ChoosePrizePicture
Button 按钮_奖项2浏览1 216 61 35 20 parent=分组框1 caption="清除" on.clicked=ClearPrizePicture
EditBox 编辑框_中奖人2 262 62 60 20 parent=分组框1
EditBox 编辑框_中奖人22 320 62 60 20 parent=分组框1
EditBox 编辑框_中奖人222 384 62 60 20 parent=分组框1

EditBox 编辑框_奖项3 10 88 60 20 parent=分组框1 order=4 text="二等奖"
EditBox 编辑框_奖项人数3 79 88 40 20 parent=分组框1 order=5
EditBox 编辑框_奖项3图片 124 88 60 20 parent=分组框1 disabled text=" "
Button 按钮_奖项3浏览 187 88 25 20 parent=分组框1 caption="《" on.clicked=ChoosePrizePicture
Button 按钮_奖项3浏览1 216 88 35 20 parent=分组框1 caption="清除" on.clicked=ClearPrizePicture
EditBox 编辑框_中奖人3 262 88 60 20 parent=分组框1
EditBox 编辑框_中奖人33 320 88 60 20 parent=分组框1
EditBox 编辑框_中奖人333 384 88 60 20 parent=分组框1

EditBox 编辑框_奖项4 10 114 60 20 parent=分组框1 order=6 text="三等奖"
EditBox 编辑框_奖项人数4 79 114 40 20 parent=分组框1 order=7
EditBox 编辑框_奖项4图片 124 114 60 20 parent=分组框1 disabled text=" "
Button 按钮_奖项4浏览 187 116 25 20 parent=分组框1 caption="《" on.clicked=ChoosePrizePicture
Button 按钮_奖项4浏览1 216 114 35 20 parent=分组框1 caption="清除" on.clicked=ClearPrizePicture
EditBox 编辑框_中奖人4 262 114 60 20 parent=分组框1
EditBox 编辑框_中奖人44 320 114 60 20 parent=分组框1
EditBox 编辑框_中奖人444 384 114 60 20 parent=分组框1

EditBox 编辑框_奖项5 10 141 60 20 parent=分组框1 order=8 text="四等奖"
EditBox 编辑框_奖项人数5 79 141 40 20 parent=分组框1 order=9
EditBox 编辑框_奖项5图片 124 141 60 20 parent=分组框1 disabled text=" "
Button 按钮_奖项5浏览 187 141 25 20 parent=分组框1 caption="《" on.clicked=ChoosePrizePicture
Button 按钮_奖项5浏览1 216 140 35 20 parent=分组框1 caption="清除" on.clicked=ClearPrizePicture
EditBox 编辑框_中奖人5 262 141 60 20 parent=分组框1
EditBox 编辑框_中奖人55 320 141 60 20 parent=分组框1
EditBox 编辑框_中奖人555 384 141 60 20 parent=分组框1

EditBox 编辑框_奖项6 10 167 60 20 parent=分组框1 order=10 text="五等奖"
EditBox 编辑框_奖项人数6 79 167 40 20 parent=分组框1 order=11
EditBox 编辑框_奖项6图片 124 167 60 20 parent=分组框1 disabled text=" "
Button 按钮_奖项6浏览 187 167 25 20 parent=分组框1 caption="《" on.clicked=ChoosePrizePicture
Button 按钮_奖项6浏览1 216 167 35 20 parent=分组框1 caption="清除" on.clicked=ClearPrizePicture
EditBox 编辑框_中奖人6 262 167 60 20 parent=分组框1
EditBox 编辑框_中奖人66 320 167 60 20 parent=分组框1
EditBox 编辑框_中奖人666 384 167 60 20 parent=分组框1

EditBox 编辑框_奖项7 10 191 60 20 parent=分组框1 order=12 text="六等奖"
EditBox 编辑框_奖项人数7 79 191 40 20 parent=分组框1 order=13
EditBox 编辑框_奖项7图片 124 191 60 20 parent=分组框1 disabled text=" "
Button 按钮_奖项7浏览 187 191 25 20 parent=分组框1 caption="《" on.clicked=ChoosePrizePicture
Button 按钮_奖项7浏览1 217 190 35 20 parent=分组框1 caption="清除" on.clicked=ClearPrizePicture
EditBox 编辑框_中奖人7 262 191 60 20 parent=分组框1
EditBox 编辑框_中奖人77 320 191 60 20 parent=分组框1
EditBox 编辑框_中奖人777 384 190 60 20 parent=分组框1

EditBox 编辑框_奖项8 10 217 60 20 parent=分组框1 order=14 text="七等奖"
EditBox 编辑框_奖项人数8 79 217 40 20 parent=分组框1 order=15
EditBox 编辑框_奖项8图片 124 217 60 20 parent=分组框1 disabled text=" "
Button 按钮_奖项8浏览 187 217 25 20 parent=分组框1 caption="《" on.clicked=ChoosePrizePicture
Button 按钮_奖项8浏览1 216 217 35 20 parent=分组框1 caption="清除" on.clicked=ClearPrizePicture
EditBox 编辑框_中奖人8 262 217 60 20 parent=分组框1
EditBox 编辑框_中奖人88 320 217 60 20 parent=分组框1
EditBox 编辑框_中奖人888 384 216 60 20 parent=分组框1

# Photo box size, rolling speed and the three switches.
Label 标签6 7 240 144 20 parent=分组框1 caption="照片框大小(像素：宽x高)："
EditBox 编辑框_照片图片宽 155 240 27 20 parent=分组框1 order=16 text="400"
Label 标签7 181 240 17 23 parent=分组框1 caption="×"
EditBox 编辑框_照片图片高 197 240 27 20 parent=分组框1 order=17 text="300"
Label 标签9 5 260 177 20 parent=分组框1 caption="设置抽奖滚动速度(默认30毫秒):"
EditBox 编辑框_滚动速度 186 260 47 23 parent=分组框1 text="30"
CheckBox 选择框_是否允许重复抽奖 9 279 227 21 parent=分组框1
    caption="允许重复抽奖(勾选为允许重复抽奖)"
CheckBox 选择框_禁用特效 9 299 254 16 parent=分组框1
    caption="禁用特效(中奖后有烟花效果随机播放)" on.clicked=ToggleEffects
CheckBox 选择框_不显示按钮 9 314 241 22 parent=分组框1
    caption="不显示开始按钮(默认不勾选，显示按钮)" on.clicked=ToggleHideButton
Button 按钮_保存 73 340 107 24 parent=分组框1 caption="保存" on.clicked=SavePrizeTable

# --- Pop-up menu, under the hidden root ---------------------------------------------------
# The music and window-mode check marks start as the defaults (music off, full screen);
# start-up sets them from the configuration.
menu 0 "更换" hidden
menu 1 "更换主标题" on.selected=ChangeMainTitle
menu 1 "更换副标题" on.selected=ChangeSubtitle
menu 1 "奖项设置" on.selected=OpenSettings
menu 1 "设置抽奖照片数据" on.selected=PhotoFolderHelp
menu 1 "查看抽奖结果" on.selected=ShowResults
menu 1 "背景图控制"
menu 2 "更换背景图" on.selected=ChangeBackground
menu 2 "取消背景图" on.selected=RemoveBackground
menu 1 "背景音乐控制"
menu 2 "更换背景音乐" on.selected=ChangeMusic
menu 2 "启用背景音乐" on.selected=EnableMusic
menu 2 "禁用背景音乐" checked on.selected=DisableMusic
menu 1 "字体颜色设置"
menu 2 "主标题" on.selected=MainTitleFont
menu 2 "副标题" on.selected=SubtitleFont
menu 2 "滚动抽取" hidden on.selected=WinnerFont
menu 2 "抽奖结果" on.selected=ResultFont
menu 1 "界面大小"
menu 2 "窗口" on.selected=WindowedMode
menu 2 "全屏" checked on.selected=FullScreenMode
menu 1 "放弃当前中奖人" on.selected=ForfeitWinner
menu 1 "软件初始化" on.selected=ResetAll
menu 1 "退出" on.selected=ExitMenu

# -----------------------------------------------------------------------------------------
window PasswordWindow 50 50 380 180 border=1 backcolor=system caption="奖项设置"
    on.created=LoadPassword
Label 标签1 8 24 64 32 caption="请输入密码"
EditBox 编辑框1 96 24 200 32 password
Button 按钮_登陆 80 80 72 32 caption="进入设置" on.clicked=Login
Button 按钮_修改密码 184 80 72 32 caption="修改密码" on.clicked=ChangePassword

# -----------------------------------------------------------------------------------------
# Covers the screen with a firework animation after each winner; no controls.
window CelebrationWindow 50 50 380 250 border=0 backcolor=0x00000000
    on.created=StartCelebration
