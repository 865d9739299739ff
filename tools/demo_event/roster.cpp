#include "roster.h"

namespace ld::demo {

namespace {

// Sixty common placeholder names: frequent surnames with everyday given names, none of them
// a known person's.
const char* const kNames[] = {
    "张伟", "王芳", "李娜", "刘洋", "陈静", "杨帆", "赵磊", "黄敏",   "周杰",   "吴霞",
    "徐强", "孙丽", "马骏", "朱琳", "胡斌", "郭鹏", "何敏", "高峰",   "林涛",   "罗娟",
    "郑爽", "梁军", "谢婷", "宋健", "唐颖", "许亮", "韩雪", "冯刚",   "邓斌",   "曹丽",
    "彭飞", "曾静", "肖勇", "田甜", "董明", "袁芳", "潘宇", "于洋",   "蒋欣",   "蔡伟",
    "余辉", "杜娟", "叶青", "程亮", "魏东", "苏婉", "吕博", "丁慧",   "任杰",   "沈洁",
    "姚远", "卢静", "姜鹏", "崔莹", "钟华", "谭琳", "陆鸣", "王建国", "李秀英", "欧阳明",
};

}  // namespace

const DemoLevel kDemoLevels[8] = {
    {"特等奖", 1, "笔记本电脑"}, {"一等奖", 3, "智能手机"},  {"二等奖", 5, "平板电脑"},
    {"三等奖", 10, "无线耳机"},  {"四等奖", 5, "电饭煲"},    {"五等奖", 5, "购物卡"},
    {"六等奖", 5, "保温杯"},     {"幸运奖", 10, "纪念礼品"},
};

std::vector<Participant> Roster() {
    std::vector<Participant> roster;
    int index = 0;
    for (const char* name : kNames) {
        Participant p;
        p.name = name;
        p.index = index;
        // Every fifth name comes with the upper-case extension a card reader gives.
        p.extension = index % 5 == 1 ? ".JPG" : ".jpg";
        // A few phones held sideways or upside down: the pixels are stored turned and the
        // Exif orientation says how to stand them up.
        if (index == 4 || index == 17 || index == 33 || index == 48) p.orientation = 6;
        if (index == 26) p.orientation = 8;
        if (index == 41) p.orientation = 3;
        // Pictures saved by an editing app lose their preview; the roll decodes the photo.
        p.preview = index != 9 && index != 38;
        roster.push_back(p);
        ++index;
    }
    return roster;
}

}  // namespace ld::demo
