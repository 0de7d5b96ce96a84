<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AdviceOutput</name>
    <message>
        <source>候选</source>
        <translation>Candidate</translation>
    </message>
</context>
<context>
    <name>AdvicePlot</name>
    <message>
        <source>0 s</source>
        <translation>0 s</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>℃：所选增益的预测（蓝），其他候选（灰），目标 ±0.5 ℃（红）</source>
        <translation>℃: the chosen gains predicted (blue), other candidates (grey), target ±0.5 ℃ (red)</translation>
    </message>
</context>
<context>
    <name>AdviceStep</name>
    <message>
        <source>起点温度</source>
        <translation>the start temperature</translation>
    </message>
    <message>
        <source>目标温度</source>
        <translation>the target temperature</translation>
    </message>
    <message>
        <source>阶跃的两端须是不同的温度，例如从 50.0 ℃ 到 60.0 ℃</source>
        <translation>The step needs two different temperatures, for example from 50.0 ℃ to 60.0 ℃</translation>
    </message>
    <message>
        <source>超调无法读取：%1（大于 0、不超过 %2 的 ℃ 数，例如 0.5）</source>
        <translation>cannot read the overshoot: %1 (a number of ℃ above 0 and at most %2, e.g. 0.5)</translation>
    </message>
</context>
<context>
    <name>ChartPanel</name>
    <message>
        <source>缩放 %1–%2 s · 复 位 返回实时</source>
        <translation>Zoomed %1–%2 s · Reset returns to live</translation>
    </message>
    <message>
        <source>历史 %1–%2 s · 复 位 返回实时</source>
        <translation>History %1–%2 s · Reset returns to live</translation>
    </message>
    <message>
        <source>保存曲线图片…</source>
        <translation>Save chart picture…</translation>
    </message>
    <message>
        <source>导出曲线数据…</source>
        <translation>Export chart data…</translation>
    </message>
    <message>
        <source>运行时间 %1 s，温度 %2 ℃</source>
        <translation>Run time %1 s, temperature %2 ℃</translation>
    </message>
    <message>
        <source>温度设定值 </source>
        <translation>Set temperature </translation>
    </message>
    <message>
        <source>保存曲线图片</source>
        <translation>Save chart picture</translation>
    </message>
    <message>
        <source>PNG 图片 (*.png)</source>
        <translation>PNG pictures (*.png)</translation>
    </message>
    <message>
        <source>无法保存曲线图片：%1</source>
        <translation>Cannot save the chart picture: %1</translation>
    </message>
    <message>
        <source>导出曲线数据</source>
        <translation>Export chart data</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>无法导出曲线数据：%1</source>
        <translation>Cannot export the chart data: %1</translation>
    </message>
    <message>
        <source>清除对比</source>
        <translation>Clear comparison</translation>
    </message>
</context>
<context>
    <name>CommandConfirmation</name>
    <message>
        <source>设定 %1 ℃</source>
        <translation>set %1 ℃</translation>
    </message>
    <message>
        <source>控制器已确认：%1</source>
        <translation>Confirmed: %1</translation>
    </message>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
    <message>
        <source>%1 发送 %2，仍为 %3</source>
        <translation>%1 sent %2, still %3</translation>
    </message>
    <message>
        <source>%1 发送 %2，没有读数</source>
        <translation>%1 sent %2, no reading</translation>
    </message>
    <message>
        <source>%1 ℃</source>
        <translation>%1 ℃</translation>
    </message>
    <message>
        <source>设定</source>
        <translation>set</translation>
    </message>
    <message>
        <source>控制器未确认：%1</source>
        <translation>Not confirmed: %1</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>未知选项：%1</source>
        <translation>unknown option: %1</translation>
    </message>
    <message>
        <source>多余的参数：%1</source>
        <translation>unexpected argument: %1</translation>
    </message>
    <message>
        <source>--lang 只接受 zh 或 en，而不是 %1</source>
        <translation>--lang takes zh or en, not %1</translation>
    </message>
    <message>
        <source>用法：%1 [--settings 文件] [--lang zh|en]</source>
        <translation>Usage: %1 [--settings FILE] [--lang zh|en]</translation>
    </message>
    <message>
        <source>温度控制器的串口控制台。</source>
        <translation>Serial console for a temperature controller.</translation>
    </message>
    <message>
        <source>  -h, --help         显示本帮助</source>
        <translation>  -h, --help         show this help</translation>
    </message>
    <message>
        <source>  -v, --version      显示版本</source>
        <translation>  -v, --version      show the version</translation>
    </message>
    <message>
        <source>  --settings 文件    使用这个设置文件</source>
        <translation>  --settings FILE    use this settings file</translation>
    </message>
    <message>
        <source>  --lang zh|en       界面语言（默认中文）</source>
        <translation>  --lang zh|en       interface language (Chinese unless told)</translation>
    </message>
    <message>
        <source>没有 --settings 时依次查找 tarvex.ini：程序所在目录、~/.config/Termiva/、/etc/termiva/。</source>
        <translation>Without --settings, tarvex.ini is looked for in the program&apos;s folder, then ~/.config/Termiva/, then /etc/termiva/.</translation>
    </message>
    <message>
        <source>选项 %1 后面缺少值</source>
        <translation>missing value after %1</translation>
    </message>
    <message>
        <source>选项 %1 不带值</source>
        <translation>%1 takes no value</translation>
    </message>
    <message>
        <source>无法读取设置文件：%1 不存在</source>
        <translation>Cannot read the settings file: %1 does not exist</translation>
    </message>
    <message>
        <source>无法读取设置文件：%1 不是普通文件</source>
        <translation>Cannot read the settings file: %1 is not a regular file</translation>
    </message>
    <message>
        <source>无法读取设置文件：%1（%2）</source>
        <translation>Cannot read the settings file: %1 (%2)</translation>
    </message>
</context>
<context>
    <name>ConnectionPanel</name>
    <message>
        <source>没有对应的设备</source>
        <translation>no such device</translation>
    </message>
    <message>
        <source>无法打开 COM%1：%2</source>
        <translation>Can&apos;t open COM%1: %2</translation>
    </message>
    <message>
        <source>已连接...</source>
        <translation>Connected...</translation>
    </message>
    <message>
        <source>已断开...</source>
        <translation>Disconnected...</translation>
    </message>
    <message>
        <source>无法写入设置文件：%1 不是普通文件</source>
        <translation>Not saved, %1: not a regular file</translation>
    </message>
    <message>
        <source>无法写入设置文件：%1 超过 1 MB</source>
        <translation>Not saved, %1: over 1 MB</translation>
    </message>
    <message>
        <source>无法写入设置文件：%1</source>
        <translation>Cannot write the settings file: %1</translation>
    </message>
</context>
<context>
    <name>ConsoleSession</name>
    <message>
        <source>串口未打开，未发送</source>
        <translation>Port not open, nothing sent</translation>
    </message>
    <message>
        <source>发送失败：%1</source>
        <translation>Send failed: %1</translation>
    </message>
</context>
<context>
    <name>ControllerLaw</name>
    <message>
        <source>设置文件 [TUNING] 中的 %1=%2 不能用：须是大于 0、不超过 %3 的数</source>
        <translation>%1=%2 in the settings file&apos;s [TUNING] cannot be used: it must be above 0 and at most %3</translation>
    </message>
    <message>
        <source>设置文件 [TUNING] 中的 D_FILTER_S=%1 不能用：须是 0 到 %2 秒</source>
        <translation>D_FILTER_S=%1 in the settings file&apos;s [TUNING] cannot be used: it must be 0 to %2 seconds</translation>
    </message>
    <message>
        <source>设置文件 [TUNING] 中的 %1=%2 不能用：须是绝对值不超过 %3 的数</source>
        <translation>%1=%2 in the settings file&apos;s [TUNING] cannot be used: it must be within ±%3</translation>
    </message>
    <message>
        <source>设置文件 [TUNING] 中的 OUTPUT_MIN=%1 不小于 OUTPUT_MAX=%2：输出没有范围</source>
        <translation>OUTPUT_MIN=%1 in the settings file&apos;s [TUNING] is not below OUTPUT_MAX=%2: the output has no range</translation>
    </message>
    <message>
        <source>设置文件 [TUNING] 中的 GAIN_MIN=%1 大于 GAIN_MAX=%2：增益没有范围</source>
        <translation>GAIN_MIN=%1 in the settings file&apos;s [TUNING] is above GAIN_MAX=%2: the gains have no range</translation>
    </message>
</context>
<context>
    <name>ControllerPanel</name>
    <message>
        <source>设定温度：</source>
        <translation>Set:</translation>
    </message>
    <message>
        <source>当前温度：</source>
        <translation>Current:</translation>
    </message>
    <message>
        <source>控制器报告 %1 %2（滑块范围 %3–%4）</source>
        <translation>The controller reports %1 %2 (slider range %3–%4)</translation>
    </message>
</context>
<context>
    <name>DeviceAccess</name>
    <message>
        <source>把当前用户加入设备所属的组 %1：sudo usermod -aG %1 $USER，然后注销并重新登录。</source>
        <translation>Add your user to the device&apos;s group %1: sudo usermod -aG %1 $USER, then log out and in again.</translation>
    </message>
    <message>
        <source>当前用户已在设备所属的组 %1 中，但这次登录早于加入：注销并重新登录。</source>
        <translation>Your user is in the device&apos;s group %1, but this login is older than that: log out and in again.</translation>
    </message>
    <message>
        <source>设备的权限不允许当前用户读写（所有者 %1，组 %2，权限 %3），加入组也无济于事；请管理员修改设备的权限。</source>
        <translation>The device&apos;s permissions do not let your user read and write it (owner %1, group %2, mode %3), and joining a group would not help: ask an administrator to change the device&apos;s permissions.</translation>
    </message>
</context>
<context>
    <name>DisplayFormat</name>
    <message>
        <source>星期日</source>
        <translation>Sunday</translation>
    </message>
    <message>
        <source>星期一</source>
        <translation>Monday</translation>
    </message>
    <message>
        <source>星期二</source>
        <translation>Tuesday</translation>
    </message>
    <message>
        <source>星期三</source>
        <translation>Wednesday</translation>
    </message>
    <message>
        <source>星期四</source>
        <translation>Thursday</translation>
    </message>
    <message>
        <source>星期五</source>
        <translation>Friday</translation>
    </message>
    <message>
        <source>星期六</source>
        <translation>Saturday</translation>
    </message>
</context>
<context>
    <name>FitWindow</name>
    <message>
        <source>运行很长：拟合只用输出变化前至多 %1 行、共至多 %2 行，其余 %3 行未用</source>
        <translation>A long run: the fit takes at most %1 lines before the output&apos;s change and %2 in all; the other %3 lines were not used</translation>
    </message>
</context>
<context>
    <name>LawCheck</name>
    <message>
        <source>输出不在极限的记录只有 %1 行，无法检查 P 和 I 的刻度</source>
        <translation>Only %1 lines with the output off its limits: the P and I scales cannot be checked</translation>
    </message>
    <message>
        <source>误差没有变化，无法检查 P 和 I 的刻度</source>
        <translation>The error never changed: the P and I scales cannot be checked</translation>
    </message>
    <message>
        <source>；D 的刻度无法这样检查</source>
        <translation>; D&apos;s scale cannot be checked this way</translation>
    </message>
    <message>
        <source>%1 %2 与记录相符（记录给出 %3）</source>
        <translation>%1 %2 agrees with the record (which gives %3)</translation>
    </message>
    <message>
        <source>%1 %2 与记录不符：记录给出 %3，请在 [TUNING] 中设 %1=%3</source>
        <translation>%1 %2 disagrees with the record, which gives %3: set %1=%3 in [TUNING]</translation>
    </message>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
    <message>
        <source>记录给出的刻度不是正数，看不出它</source>
        <translation>the record gives no positive scale, so it cannot be told</translation>
    </message>
    <message>
        <source>记录只能把它定在 %1 ± %2 %，不足以判断</source>
        <translation>the record pins it only to %1 ± %2 %, too loosely to judge</translation>
    </message>
    <message>
        <source>增益为 0</source>
        <translation>the gain is 0</translation>
    </message>
    <message>
        <source>%1 无法检查（%2）</source>
        <translation>%1 cannot be checked (%2)</translation>
    </message>
</context>
<context>
    <name>MSComm</name>
    <message>
        <source>无效的端口号</source>
        <translation>invalid port</translation>
    </message>
    <message>
        <source>端口已经打开</source>
        <translation>already open</translation>
    </message>
    <message>
        <source>端口没有打开，无法读取</source>
        <translation>port not open</translation>
    </message>
    <message>
        <source>端口没有打开，无法发送</source>
        <translation>port not open</translation>
    </message>
</context>
<context>
    <name>MemoryComm</name>
    <message>
        <source>设备已断开</source>
        <translation>device disconnected</translation>
    </message>
    <message>
        <source>%1 已移除</source>
        <translation>%1 removed</translation>
    </message>
    <message>
        <source>没有对应的设备</source>
        <translation>no such device</translation>
    </message>
</context>
<context>
    <name>NoLinkSaveFile</name>
    <message>
        <source>此处是符号链接，未经它写入</source>
        <translation>a symbolic link is there; nothing was written through it</translation>
    </message>
</context>
<context>
    <name>PlantFit</name>
    <message>
        <source>这次运行没有温度记录，无法拟合</source>
        <translation>This run has no recorded temperature to fit</translation>
    </message>
    <message>
        <source>记录中没有输出值（output_pct），无法拟合：记录不是本控制台写的？</source>
        <translation>The record has no output level (output_pct) to fit: was it written by another program?</translation>
    </message>
    <message>
        <source>只有 %1 行有输出值，太少，无法拟合</source>
        <translation>Only %1 lines carry an output level, too few to fit</translation>
    </message>
    <message>
        <source>输出一直在 %1（极限），看不出过程的响应</source>
        <translation>The output stayed at %1 (a limit) throughout: the plant&apos;s response cannot be seen</translation>
    </message>
    <message>
        <source>输出一直是 %1，没有变化，看不出过程的响应</source>
        <translation>The output stayed at %1 and never changed: the plant&apos;s response cannot be seen</translation>
    </message>
    <message>
        <source>温度只变化了 %1 ℃，不到 %2 ℃，不足以拟合</source>
        <translation>The temperature changed by only %1 ℃, less than %2 ℃: too little to fit</translation>
    </message>
    <message>
        <source>输出几乎没有变化，看不出过程的响应</source>
        <translation>The output hardly changed: the plant&apos;s response cannot be seen</translation>
    </message>
    <message>
        <source>输出变化前只有 %1 s 的记录，不足 %2 s：看不出过程原来的状态</source>
        <translation>Only %1 s of lines before the output changed, less than %2 s: the state the plant started from cannot be told</translation>
    </message>
    <message>
        <source>温度没有随输出升高，拟合不出正的增益</source>
        <translation>The temperature did not rise with the output: no positive gain fits</translation>
    </message>
    <message>
        <source>这次运行看不出过程的时间常数和纯滞后</source>
        <translation>This run does not tell the plant&apos;s time constant and dead time</translation>
    </message>
    <message>
        <source>有 %1 行是积压后一起送到的，到得比测得晚，不知何时测得，未用于拟合</source>
        <translation>%1 lines were held back and delivered together, later than they were measured: when they were measured is not known, and they were left out of the fit</translation>
    </message>
    <message>
        <source>变化前的 %1 s 温度不平稳：起始状态按一个随时间常数衰减的项拟合</source>
        <translation>The temperature was not steady in the %1 s before the change: the state it started from was fitted as a term decaying with the time constant</translation>
    </message>
    <message>
        <source>运行开始（阶跃）前的 %1 行（%2 s）温度平稳，作为变化前的状态（输出平均 %3）</source>
        <translation>The %1 lines (%2 s) before the run started (at its step) were steady and were taken as the state before the change (output %3 on average)</translation>
    </message>
    <message>
        <source>拟合的开头 %1 行离模型很远（最远 %2 ℃，其后各行的 rms 为 %3 ℃），可能不是当时测得的</source>
        <translation>The first %1 lines of the fit lie far off the model (up to %2 ℃, the lines after them %3 ℃ rms) and may not have been measured when they say</translation>
    </message>
    <message>
        <source>%1；不用这几行无法拟合（%2），仍用了它们</source>
        <translation>%1; without them there is no fit (%2), so they were kept</translation>
    </message>
    <message>
        <source>%1，未用于拟合；± 已放宽到也含用了它们的拟合（满输出 %2 ℃，τ %3 s，θ %4 s）</source>
        <translation>%1, and were left out of the fit; the ± are widened to hold the fit with them too (%2 ℃ at full output, τ %3 s, θ %4 s)</translation>
    </message>
    <message>
        <source>无输出时的温度</source>
        <translation>Temperature at no output</translation>
    </message>
    <message>
        <source>行的噪声</source>
        <translation>the lines&apos; noise</translation>
    </message>
    <message>
        <source>起始状态</source>
        <translation>the starting state</translation>
    </message>
    <message>
        <source>这次运行分成了 %1 段（连接中断、记录的时间倒退或跳变，或 5 分钟以上没有行），只按最长的一段（%2 行）拟合</source>
        <translation>This run falls into %1 stretches (a lost link, the record&apos;s time running backwards or jumping, or no line for 5 minutes); only the longest (%2 lines) was fitted</translation>
    </message>
    <message>
        <source>有 %1 行没有输出值（output_pct），未用于拟合</source>
        <translation>%1 lines had no output level (output_pct) and were left out of the fit</translation>
    </message>
    <message>
        <source>拟合出的 %1 不是有限的数：记录的时间或数值不对，无法给出模型</source>
        <translation>The fit&apos;s %1 is not a finite number: the record&apos;s times or values are wrong, and no model can be given</translation>
    </message>
    <message>
        <source>拟合的时间常数 τ（%1 s）远长于记录的 %2 s：这次运行看不出过程的时间常数</source>
        <translation>The fitted time constant τ (%1 s) is far longer than the %2 s recorded: this run does not tell the process&apos;s time constant</translation>
    </message>
    <message>
        <source>只按最后一次变化（输出变化或设定值阶跃）后 %1 s（τ + θ 的 %2 倍）内的行拟合，其后 %3 行未用：久稳的行只再说一遍 K，输出读数的噪声却会把 τ 拉长</source>
        <translation>Fitted on the lines within %1 s (%2 times τ + θ) of the last change (the output&apos;s, or a step of the set point); the %3 lines after them were not used: lines held at rest only tell K again, while the noise of the output readings draws τ long</translation>
    </message>
</context>
<context>
    <name>PlantModelDialog</name>
    <message>
        <source>过程模型</source>
        <translation>Plant model</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>正在读取记录并拟合…</source>
        <translation>Reading the record and fitting…</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>运行开始于 %1</source>
        <translation>Run started %1</translation>
    </message>
    <message>
        <source>无法拟合：%1</source>
        <translation>No model: %1</translation>
    </message>
    <message>
        <source>控制规律：%1</source>
        <translation>Controller law: %1</translation>
    </message>
    <message>
        <source>± 为两倍标准误差</source>
        <translation>± are two standard errors</translation>
    </message>
    <message>
        <source>已停止拟合</source>
        <translation>Fitting stopped</translation>
    </message>
</context>
<context>
    <name>PlantModelPlot</name>
    <message>
        <source>0 s</source>
        <translation>0 s</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>℃：记录（灰）与模型（蓝）</source>
        <translation>℃: record (grey) and model (blue)</translation>
    </message>
    <message>
        <source>记录减模型（红）</source>
        <translation>record minus model (red)</translation>
    </message>
</context>
<context>
    <name>PlantModelText</name>
    <message>
        <source>增益 K</source>
        <translation>Gain K</translation>
    </message>
    <message>
        <source>%1 ℃/计数（满输出 %2 ℃）</source>
        <translation>%1 ℃/count (%2 ℃ at full output)</translation>
    </message>
    <message>
        <source>时间常数 τ</source>
        <translation>Time constant τ</translation>
    </message>
    <message>
        <source> s</source>
        <translation> s</translation>
    </message>
    <message>
        <source>纯滞后 θ</source>
        <translation>Dead time θ</translation>
    </message>
    <message>
        <source>无输出时的温度</source>
        <translation>Temperature at no output</translation>
    </message>
    <message>
        <source>%1 ℃</source>
        <translation>%1 ℃</translation>
    </message>
    <message>
        <source>拟合误差（rms）</source>
        <translation>Fit error (rms)</translation>
    </message>
    <message>
        <source>%1 ℃（记录精确到 0.1 ℃）</source>
        <translation>%1 ℃ (the record is in steps of 0.1 ℃)</translation>
    </message>
    <message>
        <source>拟合的行</source>
        <translation>Lines fitted</translation>
    </message>
    <message>
        <source>%1 行，%2 至 %3</source>
        <translation>%1 lines, %2 to %3</translation>
    </message>
    <message>
        <source>K %1 ℃/计数，τ %2 s，θ %3 s，rms %4 ℃</source>
        <translation>K %1 ℃/count, τ %2 s, θ %3 s, rms %4 ℃</translation>
    </message>
    <message>
        <source>K ±%1 %</source>
        <translation>K ±%1 %</translation>
    </message>
    <message>
        <source>τ ±%1 %</source>
        <translation>τ ±%1 %</translation>
    </message>
    <message>
        <source>θ ±%1 s</source>
        <translation>θ ±%1 s</translation>
    </message>
    <message>
        <source>模型不够确定（%1）：这次运行对过程说得不多，预测只可作参考；用一次 3 ℃ 以上的阶跃再拟合更可靠</source>
        <translation>The model is loose (%1): this run told little of the plant, so take the predictions as a guide; a step of 3 ℃ or more fits it better</translation>
    </message>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>PortMap</name>
    <message>
        <source>%1
当前设备：%2</source>
        <translation>%1
Device now: %2</translation>
    </message>
    <message>
        <source>未接入</source>
        <translation>not plugged in</translation>
    </message>
</context>
<context>
    <name>PredictionStart</name>
    <message>
        <source>还没有收到温度，预测是从 %1 ℃ 开始的：这次运行不按预测核对。</source>
        <translation>No temperature received yet, and the prediction starts at %1 ℃: this run will not be checked against it.</translation>
    </message>
    <message>
        <source>现在 %1 ℃，预测是从 %2 ℃ 开始的：这次运行不按预测核对。</source>
        <translation>Now %1 ℃, but the prediction starts at %2 ℃: this run will not be checked against it.</translation>
    </message>
    <message>
        <source>从 %1 ℃ 重新预测：%2</source>
        <translation>Predicted again from %1 ℃: %2</translation>
    </message>
</context>
<context>
    <name>PredictionText</name>
    <message>
        <source>超调 ℃</source>
        <translation>Overshoot ℃</translation>
    </message>
    <message>
        <source>超调 %</source>
        <translation>Overshoot %</translation>
    </message>
    <message>
        <source>上升 10–90 % s</source>
        <translation>Rise 10–90 % s</translation>
    </message>
    <message>
        <source>调节 ±2 % s</source>
        <translation>Settling ±2 % s</translation>
    </message>
    <message>
        <source>调节 ±0.5 ℃ s</source>
        <translation>Settling ±0.5 ℃ s</translation>
    </message>
    <message>
        <source>IAE ℃·s</source>
        <translation>IAE ℃·s</translation>
    </message>
    <message>
        <source>稳态误差 ℃</source>
        <translation>Steady error ℃</translation>
    </message>
    <message>
        <source>饱和 s</source>
        <translation>At limit s</translation>
    </message>
    <message>
        <source>振荡</source>
        <translation>Oscillates</translation>
    </message>
    <message>
        <source>上升时间 s</source>
        <translation>Rise time s</translation>
    </message>
    <message>
        <source>峰值时间 s</source>
        <translation>Peak time s</translation>
    </message>
    <message>
        <source>调节时间 s</source>
        <translation>Settling time s</translation>
    </message>
    <message>
        <source>是</source>
        <translation>yes</translation>
    </message>
    <message>
        <source>否</source>
        <translation>no</translation>
    </message>
    <message>
        <source>超调 %1 ℃，调节（±0.5 ℃）%2 s，IAE %3 ℃·s</source>
        <translation>overshoot %1 ℃, settling (±0.5 ℃) %2 s, IAE %3 ℃·s</translation>
    </message>
</context>
<context>
    <name>ReceiveLog</name>
    <message>
        <source>打开记录文件夹</source>
        <translation>Open records folder</translation>
    </message>
    <message>
        <source>(过长的一行，已丢弃 %1 个字符)</source>
        <translation>(line too long, %1 characters dropped)</translation>
    </message>
</context>
<context>
    <name>ReconnectPolicy</name>
    <message>
        <source>连接已中断：COM%1 %2，等待设备重新连接…</source>
        <translation>COM%1 lost: %2, will reconnect…</translation>
    </message>
    <message>
        <source>已重新连接 COM%1</source>
        <translation>Reconnected to COM%1</translation>
    </message>
    <message>
        <source>(连接中断 %1 s)</source>
        <translation>(connection down for %1 s)</translation>
    </message>
    <message>
        <source>连接已中断：COM%1 %2</source>
        <translation>COM%1 lost: %2</translation>
    </message>
    <message>
        <source>断线后自动重连</source>
        <translation>Reconnect automatically after a lost connection</translation>
    </message>
    <message>
        <source>COM%1 无法打开：%2，重试中…</source>
        <translation>COM%1 back but %2, retrying…</translation>
    </message>
    <message>
        <source>设备现为 %1，断开前为 %2</source>
        <translation>Device now %1, before the loss %2</translation>
    </message>
    <message>
        <source>(连接中断 %1 s，设备现为 %2，断开前为 %3)</source>
        <translation>(connection down for %1 s; device now %2, before the loss %3)</translation>
    </message>
</context>
<context>
    <name>RecordFile</name>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>无法创建文件夹，%1</source>
        <translation>cannot create the folder, %1</translation>
    </message>
</context>
<context>
    <name>RecordScan</name>
    <message>
        <source>运行记录中的时间无法读取：%1</source>
        <translation>The run history holds a time that cannot be read: %1</translation>
    </message>
    <message>
        <source>记录文件名不是记录文件夹中的文件，未读取：%1</source>
        <translation>Not read: the record name %1 is not a file in the records folder</translation>
    </message>
    <message>
        <source>这次运行没有记录文件（开始于 %1）</source>
        <translation>This run has no record file (started %1)</translation>
    </message>
    <message>
        <source>找不到记录文件：%1</source>
        <translation>Record file not found: %1</translation>
    </message>
    <message>
        <source>无法读取记录文件：%1 不是普通文件</source>
        <translation>Cannot read the record file: %1 is not a regular file</translation>
    </message>
    <message>
        <source>无法读取记录文件：%1</source>
        <translation>Cannot read the record file: %1</translation>
    </message>
    <message>
        <source>记录文件的最后一行不完整，已舍去：%1</source>
        <translation>The last row of the record is incomplete and was left out: %1</translation>
    </message>
    <message>
        <source>记录文件中有 %1 行过长，未读取：%2</source>
        <translation>%1 rows too long for a record were skipped: %2</translation>
    </message>
    <message>
        <source>记录文件中有 %1 行的时间无法读取，未读取：%2</source>
        <translation>%1 rows whose time could not be read were skipped: %2</translation>
    </message>
    <message>
        <source>记录文件中有 %1 行的列不全，未读取：%2</source>
        <translation>%1 rows missing columns were skipped: %2</translation>
    </message>
</context>
<context>
    <name>RegularFile</name>
    <message>
        <source>不是普通文件</source>
        <translation>not a regular file</translation>
    </message>
</context>
<context>
    <name>ReportCharts</name>
    <message>
        <source>记录减模型 ℃</source>
        <translation>Record minus model ℃</translation>
    </message>
    <message>
        <source>设定值</source>
        <translation>Set point</translation>
    </message>
    <message>
        <source>记录温度</source>
        <translation>Recorded temperature</translation>
    </message>
    <message>
        <source>模型</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>输出（右轴 0–255）</source>
        <translation>Output (right axis 0–255)</translation>
    </message>
    <message>
        <source>没有拟合的行可画</source>
        <translation>No fitted lines to draw</translation>
    </message>
    <message>
        <source>℃</source>
        <translation>℃</translation>
    </message>
    <message>
        <source>输出</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>自第一行起的时间 s</source>
        <translation>Time from the first line s</translation>
    </message>
    <message>
        <source>没有候选参数的预测可画</source>
        <translation>No candidate predictions to draw</translation>
    </message>
    <message>
        <source>自阶跃起的时间 s</source>
        <translation>Time from the step s</translation>
    </message>
    <message>
        <source>目标（带：±0.5 ℃）</source>
        <translation>Target (band: ±0.5 ℃)</translation>
    </message>
    <message>
        <source>%1（已选）</source>
        <translation>%1 (chosen)</translation>
    </message>
</context>
<context>
    <name>RunDialogsLauncher</name>
    <message>
        <source>还没有运行：连接并收到数据后才能给出整定建议</source>
        <translation>No run yet: tuning advice needs a connection and lines received</translation>
    </message>
    <message>
        <source>无法打开记录文件夹：%1</source>
        <translation>Cannot open the records folder: %1</translation>
    </message>
</context>
<context>
    <name>RunFigures</name>
    <message>
        <source>上升时间</source>
        <translation>rise time</translation>
    </message>
    <message>
        <source>超调量</source>
        <translation>overshoot</translation>
    </message>
    <message>
        <source>峰值时间</source>
        <translation>peak time</translation>
    </message>
    <message>
        <source>调节时间</source>
        <translation>settling time</translation>
    </message>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>RunOverlay</name>
    <message>
        <source>设定 %1 ℃</source>
        <translation>set %1 ℃</translation>
    </message>
    <message>
        <source>预测 · P %1 I %2 D %3</source>
        <translation>Predicted · P %1 I %2 D %3</translation>
    </message>
</context>
<context>
    <name>RunSamples</name>
    <message>
        <source>记录文件中没有这次运行的温度：%1</source>
        <translation>The record holds no temperatures of this run: %1</translation>
    </message>
    <message>
        <source>记录文件中没有在 %1 进行的运行：%2</source>
        <translation>No run in the record was in progress at %1: %2</translation>
    </message>
    <message>
        <source>记录文件中没有温度行：%1</source>
        <translation>The record holds no line with a temperature: %1</translation>
    </message>
    <message>
        <source>也用了运行开始前 %1 s 的行，以知道变化前的状态</source>
        <translation>The %1 s of lines before the run started were used too, for the state before the change</translation>
    </message>
    <message>
        <source>有 %1 行的温度（current_c）不是数，未用</source>
        <translation>%1 lines whose temperature (current_c) is no number were left out</translation>
    </message>
    <message>
        <source>记录的时间有 %1 处倒退或跳变（校时或电脑休眠，第一处在 %2），运行在那里分段</source>
        <translation>The record&apos;s time ran backwards or jumped in %1 places (a clock set, or the computer asleep; the first at %2): the run was split there</translation>
    </message>
</context>
<context>
    <name>RunTimeColumn</name>
    <message>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>开始</source>
        <translation>Start</translation>
    </message>
</context>
<context>
    <name>RunVerification</name>
    <message>
        <source>超调相差 %1 ℃（容许 %2 ℃）</source>
        <translation>overshoot differs by %1 ℃ (gate %2 ℃)</translation>
    </message>
    <message>
        <source>调节时间相差 %1 s（容许 %2 s）</source>
        <translation>settling differs by %1 s (gate %2 s)</translation>
    </message>
    <message>
        <source>IAE 相差 %1 %（容许 %2 %）</source>
        <translation>IAE differs by %1 % (gate %2 %)</translation>
    </message>
    <message>
        <source>预测 %1 s 稳定在 ±0.5 ℃ 内，实测没有稳定</source>
        <translation>predicted to settle within ±0.5 ℃ at %1 s, measured never settled</translation>
    </message>
    <message>
        <source>实测与预测相符。</source>
        <translation>Measured agrees with predicted.</translation>
    </message>
    <message>
        <source>实测与预测不符：%1。</source>
        <translation>Measured differs from predicted: %1. </translation>
    </message>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
    <message>
        <source>阶跃没有按预测进行：开始时是 %1 ℃，预测是从 %2 ℃ 开始的。</source>
        <translation>The step was not the one predicted: it started at %1 ℃, the prediction at %2 ℃.</translation>
    </message>
    <message>
        <source>拟合模型的那次运行与 [TUNING] 的刻度不符，预测是按这些刻度算的：先设好刻度再预测。</source>
        <translation>The run the model was fitted on disputed the [TUNING] scales the prediction used: set the scales, then predict again.</translation>
    </message>
    <message>
        <source>模型本来就知道得不准，预测只能粗略：可以从这次运行重新拟合。</source>
        <translation>The model was known only loosely, so the prediction was rough: the model can be fitted again from this run.</translation>
    </message>
    <message>
        <source>模型可能已不合这次运行，可以从这次运行重新拟合。</source>
        <translation>The model may no longer fit this run; it can be fitted again from this run.</translation>
    </message>
    <message>
        <source>控制器没有确认这次的增益</source>
        <translation>the controller never confirmed the gains</translation>
    </message>
    <message>
        <source>运行中增益被改动过</source>
        <translation>the gains were changed during the run</translation>
    </message>
    <message>
        <source>温度没有朝目标变化，没有阶跃</source>
        <translation>the temperature never moved towards the target: there was no step</translation>
    </message>
    <message>
        <source>运行在预测的峰值之前就结束了</source>
        <translation>the run ended before the predicted peak</translation>
    </message>
    <message>
        <source>上升时连接中断过，中间的温度不知道</source>
        <translation>the link was down during the rise, so the temperatures in between are unknown</translation>
    </message>
    <message>
        <source>这次运行不按预测核对：%1。</source>
        <translation>This run is not checked against the prediction: %1.</translation>
    </message>
    <message>
        <source>没有两边都有的数字可以比较。</source>
        <translation>No figure is known on both sides to compare.</translation>
    </message>
</context>
<context>
    <name>RunsDialog</name>
    <message>
        <source>开始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>结束</source>
        <translation>End</translation>
    </message>
    <message>
        <source>端口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>设定温度/℃</source>
        <translation>Set/℃</translation>
    </message>
    <message>
        <source>上升时间/s</source>
        <translation>Rise/s</translation>
    </message>
    <message>
        <source>超调量/%</source>
        <translation>Overshoot/%</translation>
    </message>
    <message>
        <source>峰值时间/s</source>
        <translation>Peak/s</translation>
    </message>
    <message>
        <source>调节时间/s</source>
        <translation>Settling/s</translation>
    </message>
    <message>
        <source>最高温度/℃</source>
        <translation>Highest/℃</translation>
    </message>
    <message>
        <source>行数</source>
        <translation>Lines</translation>
    </message>
    <message>
        <source>记录文件</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>打开记录</source>
        <translation>Open record</translation>
    </message>
    <message>
        <source>运行记录</source>
        <translation>Runs</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>找不到这次运行的记录文件：%1</source>
        <translation>This run&apos;s record file is not there: %1</translation>
    </message>
    <message>
        <source>无法打开记录：%1</source>
        <translation>Cannot open the record: %1</translation>
    </message>
    <message>
        <source>在曲线上对比</source>
        <translation>Compare on chart</translation>
    </message>
    <message>
        <source>运行</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>当前运行比它</source>
        <translation>Current run vs this</translation>
    </message>
    <message>
        <source>当前运行</source>
        <translation>Current run</translation>
    </message>
    <message>
        <source>只列出了最新的 %L1 次运行，更早的运行仍在 %2 中</source>
        <translation>Only the newest %L1 runs are listed; the older ones are still in %2</translation>
    </message>
    <message>
        <source>运行记录的最后一行不完整，已舍去</source>
        <translation>The last row of the run history is incomplete and was left out</translation>
    </message>
    <message>
        <source>运行记录中有 %1 行过长，未读取</source>
        <translation>%1 rows of the run history were too long and skipped</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>记录文件名不是记录文件夹中的文件，未打开：%1</source>
        <translation>Not opened: the record name %1 is not a file in the records folder</translation>
    </message>
    <message>
        <source>无法打开记录：%1 不是普通文件</source>
        <translation>Cannot open the record: %1 is not a regular file</translation>
    </message>
    <message>
        <source>已停止读取运行记录，只列出了读到的运行</source>
        <translation>Reading the run history was stopped; only the runs read so far are listed</translation>
    </message>
    <message>
        <source>正在读取记录文件…</source>
        <translation>Reading the record files…</translation>
    </message>
    <message>
        <source>正在读取运行记录…</source>
        <translation>Reading the run history…</translation>
    </message>
    <message>
        <source>进行中</source>
        <translation>in progress</translation>
    </message>
    <message>
        <source>过程模型</source>
        <translation>Plant model</translation>
    </message>
    <message>
        <source>模型 K/(℃/计数)</source>
        <translation>Model K/(℃/count)</translation>
    </message>
    <message>
        <source>模型 τ/s</source>
        <translation>Model τ/s</translation>
    </message>
    <message>
        <source>模型 θ/s</source>
        <translation>Model θ/s</translation>
    </message>
    <message>
        <source>预测超调/℃</source>
        <translation>Predicted overshoot/℃</translation>
    </message>
    <message>
        <source>实测超调/℃</source>
        <translation>Measured overshoot/℃</translation>
    </message>
    <message>
        <source>预测调节 ±0.5 ℃/s</source>
        <translation>Predicted settling ±0.5 ℃/s</translation>
    </message>
    <message>
        <source>实测调节 ±0.5 ℃/s</source>
        <translation>Measured settling ±0.5 ℃/s</translation>
    </message>
    <message>
        <source>预测 IAE/(℃·s)</source>
        <translation>Predicted IAE/(℃·s)</translation>
    </message>
    <message>
        <source>实测 IAE/(℃·s)</source>
        <translation>Measured IAE/(℃·s)</translation>
    </message>
    <message>
        <source>整定建议…</source>
        <translation>Tuning advice…</translation>
    </message>
    <message>
        <source>从这次运行重新拟合…</source>
        <translation>Fit again from this run…</translation>
    </message>
    <message>
        <source>预测 / 实测：超调 %1 / %2 ℃，调节（±0.5 ℃）%3 / %4 s，IAE %5 / %6 ℃·s。</source>
        <translation>Predicted / measured: overshoot %1 / %2 ℃, settling (±0.5 ℃) %3 / %4 s, IAE %5 / %6 ℃·s. </translation>
    </message>
    <message>
        <source>预测起点/℃</source>
        <translation>Predicted from/℃</translation>
    </message>
    <message>
        <source>预测目标/℃</source>
        <translation>Predicted to/℃</translation>
    </message>
    <message>
        <source>实测起点/℃</source>
        <translation>Started at/℃</translation>
    </message>
    <message>
        <source>规律相符</source>
        <translation>Law agreed</translation>
    </message>
    <message>
        <source>模型粗略</source>
        <translation>Model loose</translation>
    </message>
    <message>
        <source>未稳定</source>
        <translation>never settled</translation>
    </message>
    <message>
        <source>未核对</source>
        <translation>Not checked</translation>
    </message>
    <message>
        <source>%1 不是运行记录，本程序的运行记录在 %2</source>
        <translation>%1 is not a run history; the console keeps its runs in %2</translation>
    </message>
</context>
<context>
    <name>RunsFileTail</name>
    <message>
        <source>无法读取运行记录：%1 不是普通文件</source>
        <translation>Cannot read the run history: %1 is not a regular file</translation>
    </message>
    <message>
        <source>无法读取运行记录：%1（%2）</source>
        <translation>Cannot read the run history %1: %2</translation>
    </message>
    <message>
        <source>无法读取运行记录：%1 不是运行记录</source>
        <translation>Cannot read the run history: %1 is not a run history</translation>
    </message>
</context>
<context>
    <name>SerialComm</name>
    <message>
        <source>线路已挂断</source>
        <translation>line hung up</translation>
    </message>
    <message>
        <source>设备文件已移除</source>
        <translation>device file removed</translation>
    </message>
    <message>
        <source>没有对应的设备</source>
        <translation>no such device</translation>
    </message>
    <message>
        <source>设备不存在</source>
        <translation>device missing</translation>
    </message>
    <message>
        <source>已被其他程序占用</source>
        <translation>in use elsewhere</translation>
    </message>
    <message>
        <source>设备不可用</source>
        <translation>not available</translation>
    </message>
    <message>
        <source>写入失败</source>
        <translation>write failed</translation>
    </message>
    <message>
        <source>设备已断开</source>
        <translation>device disconnected</translation>
    </message>
    <message>
        <source>没有访问权限</source>
        <translation>no permission</translation>
    </message>
</context>
<context>
    <name>StatusLine</name>
    <message>
        <source>无法读取设置文件：%1 不是普通文件</source>
        <translation>Settings %1: not a regular file</translation>
    </message>
    <message>
        <source>无法读取设置文件：%1</source>
        <translation>Cannot read the settings file: %1</translation>
    </message>
    <message>
        <source>设置文件超过 1 MB，只读取了开头：%1</source>
        <translation>Settings file too big, 1 MB read: %1</translation>
    </message>
    <message>
        <source>记录失败：</source>
        <translation>Recording failed: </translation>
    </message>
    <message>
        <source>记录文件已不在原处，改记到新文件：%1</source>
        <translation>Record file gone, recording to a new one: %1</translation>
    </message>
    <message>
        <source>设置文件：%1</source>
        <translation>Settings file: %1</translation>
    </message>
    <message>
        <source>没有找到设置文件 %1，按默认设置运行</source>
        <translation>No settings file at %1; running with defaults</translation>
    </message>
    <message>
        <source>设置文件中的 [UI] LANG=%1 不是可用的语言（zh 或 en），已忽略</source>
        <translation>[UI] LANG=%1 in the settings file is no language on offer (zh or en); ignored</translation>
    </message>
    <message>
        <source>记录已关闭：设置文件中 [RECORD] ENABLED=0</source>
        <translation>Recording is off: [RECORD] ENABLED=0 in the settings file</translation>
    </message>
    <message>
        <source>未记录</source>
        <translation>No record</translation>
    </message>
    <message>
        <source>连接温度控制器成功！</source>
        <translation>Connected to the controller!</translation>
    </message>
    <message>
        <source>运行记录改记到 %1</source>
        <translation>Runs now go to %1</translation>
    </message>
    <message>
        <source>%1 不是本程序的运行记录，未改动它</source>
        <translation>%1 is not this console&apos;s run history and was left as it was</translation>
    </message>
</context>
<context>
    <name>StepCommand</name>
    <message>
        <source>%1 须为整数</source>
        <translation>%1 must be a whole number</translation>
    </message>
    <message>
        <source>%1 不能小于 0</source>
        <translation>%1 cannot be below 0</translation>
    </message>
    <message>
        <source>%1 不能大于 999</source>
        <translation>%1 cannot be above 999</translation>
    </message>
    <message>
        <source>目标温度</source>
        <translation>the target temperature</translation>
    </message>
    <message>
        <source>请填写%1</source>
        <translation>Fill in %1</translation>
    </message>
    <message>
        <source>%1须为数字，最多一位小数</source>
        <translation>The value for %1 must be a number with at most one decimal</translation>
    </message>
    <message>
        <source>%1不能低于 0 ℃</source>
        <translation>The value for %1 cannot be below 0 ℃</translation>
    </message>
    <message>
        <source>%1不能高于 999.9 ℃</source>
        <translation>The value for %1 cannot be above 999.9 ℃</translation>
    </message>
</context>
<context>
    <name>StepResponsePanel</name>
    <message>
        <source>运行记录…</source>
        <translation>Runs…</translation>
    </message>
    <message>
        <source>整定建议…</source>
        <translation>Tuning advice…</translation>
    </message>
</context>
<context>
    <name>StepResponsePicture</name>
    <message>
        <source>超调量 σ% = A / B · 100%</source>
        <translation>Overshoot σ% = A / B · 100%</translation>
    </message>
</context>
<context>
    <name>StepTestDialog</name>
    <message>
        <source>开始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>阶跃测试</source>
        <translation>Step test</translation>
    </message>
    <message>
        <source>目标温度/℃</source>
        <translation>Target/℃</translation>
    </message>
    <message>
        <source>不发送</source>
        <translation>not sent</translation>
    </message>
    <message>
        <source>T（温度补偿）</source>
        <translation>T (compensation)</translation>
    </message>
    <message>
        <source>将发送：%1</source>
        <translation>Will send: %1</translation>
    </message>
    <message>
        <source>从现在的温度预测</source>
        <translation>Predict from the temperature now</translation>
    </message>
    <message>
        <source>照样开始</source>
        <translation>Start anyway</translation>
    </message>
</context>
<context>
    <name>StepTestLauncher</name>
    <message>
        <source>阶跃测试…</source>
        <translation>Step test…</translation>
    </message>
    <message>
        <source>发送目标温度和参数，同时时间清零（%1）</source>
        <translation>Sends the target and the gains and restarts the run at the same moment (%1)</translation>
    </message>
</context>
<context>
    <name>SystemError</name>
    <message>
        <source>设备上没有空间</source>
        <translation>No space left on device</translation>
    </message>
    <message>
        <source>超出磁盘限额</source>
        <translation>Disk quota exceeded</translation>
    </message>
    <message>
        <source>文件过大</source>
        <translation>File too large</translation>
    </message>
    <message>
        <source>输入/输出错误</source>
        <translation>Input/output error</translation>
    </message>
    <message>
        <source>权限不够</source>
        <translation>Permission denied</translation>
    </message>
    <message>
        <source>不允许的操作</source>
        <translation>Operation not permitted</translation>
    </message>
    <message>
        <source>只读文件系统</source>
        <translation>Read-only file system</translation>
    </message>
    <message>
        <source>没有那个文件或目录</source>
        <translation>No such file or directory</translation>
    </message>
    <message>
        <source>不是目录</source>
        <translation>Not a directory</translation>
    </message>
    <message>
        <source>是一个目录</source>
        <translation>Is a directory</translation>
    </message>
    <message>
        <source>文件已存在</source>
        <translation>File exists</translation>
    </message>
    <message>
        <source>文件名过长</source>
        <translation>File name too long</translation>
    </message>
    <message>
        <source>打开的文件过多</source>
        <translation>Too many open files</translation>
    </message>
    <message>
        <source>系统中打开的文件过多</source>
        <translation>Too many open files in system</translation>
    </message>
</context>
<context>
    <name>TuneCommand</name>
    <message>
        <source>按运行记录拟合加热过程的一阶加纯滞后模型，并检查控制器的 P、I 刻度。</source>
        <translation>Fits a first-order-plus-dead-time model of the heater to a recorded run, and checks the controller&apos;s P and I scales.</translation>
    </message>
    <message>
        <source>控制台的记录文件</source>
        <translation>a record file of the console</translation>
    </message>
    <message>
        <source>拟合这时进行的运行（默认：记录中最长的运行）</source>
        <translation>fit the run in progress at TIME (default: the record&apos;s longest run)</translation>
    </message>
    <message>
        <source>从这个设置文件的 [TUNING] 读控制规律</source>
        <translation>read the controller&apos;s law from [TUNING] of this settings file</translation>
    </message>
    <message>
        <source>以 JSON 输出</source>
        <translation>print JSON</translation>
    </message>
    <message>
        <source>输出的语言：zh（默认）或 en</source>
        <translation>the language of the output: zh (the default) or en</translation>
    </message>
    <message>
        <source>%1，运行开始于 %2</source>
        <translation>%1, run started %2</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>（± 为两倍标准误差）</source>
        <translation>(± are two standard errors)</translation>
    </message>
    <message>
        <source>无法拟合：%1</source>
        <translation>No model: %1</translation>
    </message>
    <message>
        <source>说明：%1</source>
        <translation>Note: %1</translation>
    </message>
    <message>
        <source>控制规律：%1</source>
        <translation>Controller law: %1</translation>
    </message>
    <message>
        <source>要拟合的记录文件只能给一个：termiva-tune RECORD.csv</source>
        <translation>Give one record file to fit: termiva-tune RECORD.csv</translation>
    </message>
    <message>
        <source>没有这种语言：%1（可用 zh 或 en）</source>
        <translation>No such language: %1 (zh or en)</translation>
    </message>
    <message>
        <source>找不到设置文件：%1</source>
        <translation>Settings file not found: %1</translation>
    </message>
    <message>
        <source>时间无法读取：%1（例如 2026-12-08T09:30:05）</source>
        <translation>Cannot read the time %1 (write it as 2026-12-08T09:30:05)</translation>
    </message>
    <message>
        <source>给出整定建议：各候选增益及其预测的阶跃响应（需 --step）</source>
        <translation>Advise: every candidate gain set with its predicted step response (needs --step)</translation>
    </message>
    <message>
        <source>预测这组增益的阶跃响应（需 --step）</source>
        <translation>Predict the step response of these gains (needs --step)</translation>
    </message>
    <message>
        <source>预测的阶跃：从 FROM ℃ 到 TO ℃</source>
        <translation>The step predicted: from FROM ℃ to TO ℃</translation>
    </message>
    <message>
        <source>推荐增益允许的超调（℃，默认 0.5）</source>
        <translation>The overshoot the recommended gains may have (℃, default 0.5)</translation>
    </message>
    <message>
        <source>把整定报告写成 OUT.html，并在旁边写 PDF（需 --step，选定推荐的增益）</source>
        <translation>Write the tuning report to OUT.html and a PDF beside it (needs --step; the recommended gains chosen)</translation>
    </message>
    <message>
        <source>--predict 不能与 --advise 或 --report 一起用</source>
        <translation>--predict cannot be used with --advise or --report</translation>
    </message>
    <message>
        <source>要预测，得给出阶跃：--step FROM:TO，例如 --step 50:60</source>
        <translation>A prediction needs a step: --step FROM:TO, for example --step 50:60</translation>
    </message>
    <message>
        <source>阶跃无法读取：%1（例如 50:60，两端不同）</source>
        <translation>Step not readable: %1 (for example 50:60, two different ends)</translation>
    </message>
    <message>
        <source>增益无法读取：%1（例如 10,5,2，各在 0 到 999）</source>
        <translation>Gains not readable: %1 (for example 10,5,2, each 0 to 999)</translation>
    </message>
    <message>
        <source>阶跃前控制器所用的增益：P,I,D，或 self（用各组自己的增益，即保持时）；默认两种都算：从记录最后的增益应用时和保持时，较差的为准</source>
        <translation>the gains the loop rests under before the step: P,I,D, or self (each set&apos;s own, as when kept); by default both, applied from the record&apos;s last gains and kept, the worse counting</translation>
    </message>
    <message>
        <source>确认 [TUNING] 的刻度无误：控制规律检查与记录不符时也给出推荐</source>
        <translation>confirm the [TUNING] scales: recommend even where the law check disputes them</translation>
    </message>
    <message>
        <source>阶跃前的增益无法读取：%1（例如 10,5,2，各在 0 到 999；或 self）</source>
        <translation>cannot read the resting gains: %1 (e.g. 10,5,2, each 0 to 999; or self)</translation>
    </message>
</context>
<context>
    <name>TuningAdvice</name>
    <message>
        <source>；输出需多 20 % 的负载变化在 3τ（%1 s）内恢复</source>
        <translation>; a load needing 20 % more output recovered within 3τ (%1 s)</translation>
    </message>
    <message>
        <source>推荐的是 IAE 最小的一组，条件是%1（共试了 %2 组）。</source>
        <translation>Recommended: the least IAE with %1 (%2 sets tried).</translation>
    </message>
    <message>
        <source>没有推荐：试过的 %1 组增益都不满足：%2。</source>
        <translation>No recommendation: none of the %1 sets tried has %2.</translation>
    </message>
    <message>
        <source>保持目标温度已需要输出的 %1 %以上，没有多 20 % 的余地，未考虑负载变化。</source>
        <translation> Holding the target already needs over %1 % of the output, with no room for 20 % more: a load change was not weighed.</translation>
    </message>
    <message>
        <source>现用</source>
        <translation>In use</translation>
    </message>
    <message>
        <source>SIMC PI 紧（τc = θ）</source>
        <translation>SIMC PI tight (τc = θ)</translation>
    </message>
    <message>
        <source>SIMC PI 平稳（τc = 2θ）</source>
        <translation>SIMC PI smooth (τc = 2θ)</translation>
    </message>
    <message>
        <source>AMIGO PI</source>
        <translation>AMIGO PI</translation>
    </message>
    <message>
        <source>AMIGO PID</source>
        <translation>AMIGO PID</translation>
    </message>
    <message>
        <source>继电器 + Z-N（固件自整定）</source>
        <translation>Relay + Z-N (firmware autotune)</translation>
    </message>
    <message>
        <source>推荐</source>
        <translation>Recommended</translation>
    </message>
    <message>
        <source>给定</source>
        <translation>Given</translation>
    </message>
    <message>
        <source>没有建议：%1。</source>
        <translation>No advice: %1.</translation>
    </message>
    <message>
        <source>没有推荐：%1。</source>
        <translation>No recommendation: %1.</translation>
    </message>
    <message>
        <source>没有推荐：控制规律的刻度与记录不符，按它算出的增益不可信。请在设置文件的 [TUNING] 中设好 P_SCALE、I_SCALE，或确认现有的刻度后重新计算。</source>
        <translation>No recommendation: the record disputes the controller law&apos;s scales, so gains worked out with them cannot be trusted. Set P_SCALE and I_SCALE in the settings file&apos;s [TUNING], or confirm the scales as they are and calculate again.</translation>
    </message>
    <message>
        <source>目标</source>
        <translation>the target</translation>
    </message>
    <message>
        <source>起点</source>
        <translation>the start</translation>
    </message>
    <message>
        <source>%1 %2 ℃ 达不到：输出在上限（%3）时模型只能到 %4 ℃</source>
        <translation>%1 %2 ℃ cannot be reached: at the output&apos;s upper limit (%3) the model gets only to %4 ℃</translation>
    </message>
    <message>
        <source>%1 %2 ℃ 达不到：输出在下限（%3）时模型停在 %4 ℃</source>
        <translation>%1 %2 ℃ cannot be reached: at the output&apos;s lower limit (%3) the model stays at %4 ℃</translation>
    </message>
    <message>
        <source>预测超调加上读数的噪声（%2 ℃）不超过 %1 ℃（随阶跃应用时和保持到下一次同样的阶跃时都是）</source>
        <translation>a predicted overshoot, with the readings&apos; noise (%2 ℃), of at most %1 ℃ (applied with the step and kept for the next step of the same size alike)</translation>
    </message>
    <message>
        <source>预测超调加上读数的噪声（%2 ℃）不超过 %1 ℃</source>
        <translation>a predicted overshoot, with the readings&apos; noise (%2 ℃), of at most %1 ℃</translation>
    </message>
    <message>
        <source>；静止时输出每行的波动（均方根）不超过 %1</source>
        <translation>; an output swinging at most %1 (rms) from line to line at rest</translation>
    </message>
    <message>
        <source>；K 大 20 %、θ 长 30 % 时超调不超过 %1 ℃</source>
        <translation>; an overshoot of at most %1 ℃ with K 20 % higher and θ 30 % longer</translation>
    </message>
    <message>
        <source>最接近的是 %1：预测超调 %2 ℃（限 %3 ℃），可放宽允许的超调。</source>
        <translation>The nearest is %1: predicted overshoot %2 ℃ (limit %3 ℃); the overshoot allowed could be relaxed.</translation>
    </message>
    <message>
        <source>最接近的是 %1：静止时输出波动 %2（限 %3），可在 [TUNING] 中放宽 OUTPUT_ACTIVITY_MAX。</source>
        <translation>The nearest is %1: output swing at rest %2 (limit %3); OUTPUT_ACTIVITY_MAX in [TUNING] could be relaxed.</translation>
    </message>
    <message>
        <source>最接近的是 %1：K 大 20 %、θ 长 30 % 时超调 %2 ℃（限 %3 ℃），可放宽允许的超调，或用更多的阶跃把模型拟合得更准。</source>
        <translation>The nearest is %1: overshoot %2 ℃ with K 20 % higher and θ 30 % longer (limit %3 ℃); the overshoot allowed could be relaxed, or the model fitted more closely from more steps.</translation>
    </message>
    <message>
        <source>最接近的是 %1：负载变化后 %2 s 才恢复（限 %3 s），积分太弱：可放宽允许的超调。</source>
        <translation>The nearest is %1: it recovers from the load only after %2 s (limit %3 s), its integral too weak; the overshoot allowed could be relaxed.</translation>
    </message>
    <message>
        <source>保持时超调 ℃</source>
        <translation>Kept overshoot ℃</translation>
    </message>
    <message>
        <source>输出波动</source>
        <translation>Output swing</translation>
    </message>
    <message>
        <source>没有建议：模型的数不是有限的正数，不能用来预测。</source>
        <translation>No advice: the model&apos;s figures are not finite positive numbers, and nothing can be predicted on it.</translation>
    </message>
</context>
<context>
    <name>TuningAdviceDialog</name>
    <message>
        <source>重新计算</source>
        <translation>Recalculate</translation>
    </message>
    <message>
        <source>应用并阶跃测试</source>
        <translation>Apply and step test</translation>
    </message>
    <message>
        <source>导出整定报告…</source>
        <translation>Export tuning report…</translation>
    </message>
    <message>
        <source>整定建议</source>
        <translation>Tuning advice</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>正在拟合并预测各组增益…</source>
        <translation>Fitting and predicting every gain set…</translation>
    </message>
    <message>
        <source>候选</source>
        <translation>Candidate</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>运行开始于 %1</source>
        <translation>Run started %1</translation>
    </message>
    <message>
        <source>阶跃：从</source>
        <translation>Step: from</translation>
    </message>
    <message>
        <source>℃ 到</source>
        <translation>℃ to</translation>
    </message>
    <message>
        <source>℃，推荐的超调不超过</source>
        <translation>℃, recommended overshoot within</translation>
    </message>
    <message>
        <source>℃</source>
        <translation>℃</translation>
    </message>
    <message>
        <source>模型：%1</source>
        <translation>Model: %1</translation>
    </message>
    <message>
        <source>无法拟合，没有建议：%1</source>
        <translation>No model, no advice: %1</translation>
    </message>
    <message>
        <source>导出整定报告</source>
        <translation>Export tuning report</translation>
    </message>
    <message>
        <source>网页 (*.html)</source>
        <translation>Web page (*.html)</translation>
    </message>
    <message>
        <source>已导出 %1 和 %2</source>
        <translation>Exported %1 and %2</translation>
    </message>
    <message>
        <source>还没有可以导出的建议</source>
        <translation>No advice to export yet</translation>
    </message>
    <message>
        <source>已停止</source>
        <translation>Stopped</translation>
    </message>
    <message>
        <source>记录与设置文件 [TUNING] 中的 P、I 刻度不符：按这些刻度算出的预测不可信，不作推荐。请先设好刻度；若确认现有的刻度无误，可按它们推荐。</source>
        <translation>The record disputes the P and I scales in the settings file&apos;s [TUNING]: predictions worked out with them cannot be trusted, and nothing is recommended. Set the scales first; if you are sure they are right, recommend with them.</translation>
    </message>
    <message>
        <source>确认刻度并推荐</source>
        <translation>Confirm the scales and recommend</translation>
    </message>
    <message>
        <source>按运行</source>
        <translation>from the run</translation>
    </message>
    <message>
        <source>这次运行没有可作阶跃起点的温度，请填写阶跃后按“重新计算”</source>
        <translation>This run has no temperature to start a step from: fill in the step and press “Recalculate”</translation>
    </message>
    <message>
        <source>控制规律：%1</source>
        <translation>Controller law: %1</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>TuningReport</name>
    <message>
        <source>无法写入报告 %1：%2</source>
        <translation>Cannot write the report %1: %2</translation>
    </message>
    <message>
        <source>无法生成 PDF 报告 %1：%2</source>
        <translation>Cannot make the PDF report %1: %2</translation>
    </message>
    <message>
        <source>整定报告</source>
        <translation>Tuning report</translation>
    </message>
    <message>
        <source>记录文件</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>（未知）</source>
        <translation>(unknown)</translation>
    </message>
    <message>
        <source>运行开始</source>
        <translation>Run started</translation>
    </message>
    <message>
        <source>没有</source>
        <translation>None</translation>
    </message>
    <message>
        <source>%1 行，%2 至 %3</source>
        <translation>%1 lines, %2 to %3</translation>
    </message>
    <message>
        <source>拟合的行</source>
        <translation>Lines fitted</translation>
    </message>
    <message>
        <source>来源</source>
        <translation>Source</translation>
    </message>
    <message>
        <source>拟合的行：设定值、记录温度、模型与输出</source>
        <translation>Lines fitted: set point, recorded temperature, model and output</translation>
    </message>
    <message>
        <source>过程模型</source>
        <translation>Plant model</translation>
    </message>
    <message>
        <source>± 为两倍标准误差</source>
        <translation>± are two standard errors</translation>
    </message>
    <message>
        <source>没有模型</source>
        <translation>No model</translation>
    </message>
    <message>
        <source>无法拟合：%1</source>
        <translation>No model: %1</translation>
    </message>
    <message>
        <source>说明：</source>
        <translation>Notes:</translation>
    </message>
    <message>
        <source>没有可检查的行</source>
        <translation>No lines to check</translation>
    </message>
    <message>
        <source>控制规律</source>
        <translation>Controller&apos;s law</translation>
    </message>
    <message>
        <source>与记录的核对：%1</source>
        <translation>Checked against the record: %1</translation>
    </message>
    <message>
        <source>温度</source>
        <translation>Temperature</translation>
    </message>
    <message>
        <source>从 %1 ℃ 到 %2 ℃</source>
        <translation>from %1 ℃ to %2 ℃</translation>
    </message>
    <message>
        <source>超调上限</source>
        <translation>Overshoot limit</translation>
    </message>
    <message>
        <source>%1 ℃</source>
        <translation>%1 ℃</translation>
    </message>
    <message>
        <source>预测时长</source>
        <translation>Span predicted</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>阶跃前的参数</source>
        <translation>Gains before the step</translation>
    </message>
    <message>
        <source>P %1，I %2，D %3</source>
        <translation>P %1, I %2, D %3</translation>
    </message>
    <message>
        <source>阶跃</source>
        <translation>Step</translation>
    </message>
    <message>
        <source>候选参数</source>
        <translation>Candidates</translation>
    </message>
    <message>
        <source>没有候选参数</source>
        <translation>No candidates</translation>
    </message>
    <message>
        <source>选用</source>
        <translation>Chosen</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>未选定参数</source>
        <translation>No gains chosen</translation>
    </message>
    <message>
        <source>各候选参数的预测温度</source>
        <translation>Each candidate&apos;s predicted temperature</translation>
    </message>
    <message>
        <source>已选</source>
        <translation>chosen</translation>
    </message>
    <message>
        <source>预测</source>
        <translation>Predicted</translation>
    </message>
    <message>
        <source>实测</source>
        <translation>Measured</translation>
    </message>
    <message>
        <source>超调（℃）</source>
        <translation>Overshoot (℃)</translation>
    </message>
    <message>
        <source>调节至 ±0.5 ℃（s）</source>
        <translation>Settling to ±0.5 ℃ (s)</translation>
    </message>
    <message>
        <source>IAE（℃·s）</source>
        <translation>IAE (℃·s)</translation>
    </message>
    <message>
        <source>预测所依据的模型：K %1 ℃/计数，τ %2 s，θ %3 s</source>
        <translation>Model predicted on: K %1 ℃/count, τ %2 s, θ %3 s</translation>
    </message>
    <message>
        <source>预测与实测</source>
        <translation>Predicted and measured</translation>
    </message>
    <message>
        <source>未稳定</source>
        <translation>never settled</translation>
    </message>
</context>
<context>
    <name>frmMain</name>
    <message>
        <source>Termiva </source>
        <translation>Termiva </translation>
    </message>
    <message>
        <source>慢速档 0   ~ 30</source>
        <translation>Slow 0 ~ 30</translation>
    </message>
    <message>
        <source>中速档 31  ~ 90</source>
        <translation>Medium 31 ~ 90</translation>
    </message>
    <message>
        <source>快速档  90  ~ </source>
        <translation>Fast 90 ~</translation>
    </message>
    <message>
        <source>模糊控制区</source>
        <translation>Fuzzy bands</translation>
    </message>
    <message>
        <source>0~10</source>
        <translation>0~10</translation>
    </message>
    <message>
        <source>时钟显示</source>
        <translation>Clock</translation>
    </message>
    <message>
        <source>温度显示窗口</source>
        <translation>Temperature</translation>
    </message>
    <message>
        <source>当前温度：</source>
        <translation>Current:</translation>
    </message>
    <message>
        <source>设定温度：</source>
        <translation>Set:</translation>
    </message>
    <message>
        <source>℃</source>
        <translation>℃</translation>
    </message>
    <message>
        <source>最高温度：</source>
        <translation>Highest:</translation>
    </message>
    <message>
        <source>状态显示窗口</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>正常</source>
        <translation>Norm</translation>
    </message>
    <message>
        <source>报警</source>
        <translation>Alarm</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>操作项</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>D value</source>
        <translation>D value</translation>
    </message>
    <message>
        <source>I value</source>
        <translation>I value</translation>
    </message>
    <message>
        <source>P value</source>
        <translation>P value</translation>
    </message>
    <message>
        <source>Alarm Value</source>
        <translation>Alarm Value</translation>
    </message>
    <message>
        <source>Dead Value</source>
        <translation>Dead Value</translation>
    </message>
    <message>
        <source>Target  Value</source>
        <translation>Target  Value</translation>
    </message>
    <message>
        <source>
                                                        o
                                                    O
                    __.---&apos;&apos;&apos;&apos;&apos;&apos;&apos;&apos;&apos;&apos;&apos;---.__
       |\       .-&apos;&apos;    ~     ~     ~    &apos;&apos;-.
       | \    .&apos;    ~     ~     ~    (@)    &apos;.
       |  &gt;--{    ~     ~     ~     ~    &lt;    &gt;
       | /    &apos;.    ~     ~     ~    \___/  .&apos;
       |/       &apos;-.__   ~     ~     ~   __.-&apos;
                     &apos;&apos;&apos;---.........---&apos;&apos;&apos;</source>
        <translation>
                                                        o
                                                    O
                    __.---&apos;&apos;&apos;&apos;&apos;&apos;&apos;&apos;&apos;&apos;&apos;---.__
       |\       .-&apos;&apos;    ~     ~     ~    &apos;&apos;-.
       | \    .&apos;    ~     ~     ~    (@)    &apos;.
       |  &gt;--{    ~     ~     ~     ~    &lt;    &gt;
       | /    &apos;.    ~     ~     ~    \___/  .&apos;
       |/       &apos;-.__   ~     ~     ~   __.-&apos;
                     &apos;&apos;&apos;---.........---&apos;&apos;&apos;</translation>
    </message>
    <message>
        <source>串口连接选项</source>
        <translation>Serial port</translation>
    </message>
    <message>
        <source>空闲</source>
        <translation>Idle</translation>
    </message>
    <message>
        <source>COM16</source>
        <translation>COM16</translation>
    </message>
    <message>
        <source>COM15</source>
        <translation>COM15</translation>
    </message>
    <message>
        <source>COM14</source>
        <translation>COM14</translation>
    </message>
    <message>
        <source>COM13</source>
        <translation>COM13</translation>
    </message>
    <message>
        <source>COM12</source>
        <translation>COM12</translation>
    </message>
    <message>
        <source>COM11</source>
        <translation>COM11</translation>
    </message>
    <message>
        <source>COM10</source>
        <translation>COM10</translation>
    </message>
    <message>
        <source>COM9</source>
        <translation>COM9</translation>
    </message>
    <message>
        <source>COM8</source>
        <translation>COM8</translation>
    </message>
    <message>
        <source>COM7</source>
        <translation>COM7</translation>
    </message>
    <message>
        <source>COM6</source>
        <translation>COM6</translation>
    </message>
    <message>
        <source>COM5</source>
        <translation>COM5</translation>
    </message>
    <message>
        <source>COM4</source>
        <translation>COM4</translation>
    </message>
    <message>
        <source>COM3</source>
        <translation>COM3</translation>
    </message>
    <message>
        <source>COM2</source>
        <translation>COM2</translation>
    </message>
    <message>
        <source>COM1</source>
        <translation>COM1</translation>
    </message>
    <message>
        <source>断开</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <source>连接</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>11~20</source>
        <translation>11~20</translation>
    </message>
    <message>
        <source>21~30</source>
        <translation>21~30</translation>
    </message>
    <message>
        <source>31~40</source>
        <translation>31~40</translation>
    </message>
    <message>
        <source>51~70</source>
        <translation>51~70</translation>
    </message>
    <message>
        <source>71~90</source>
        <translation>71~90</translation>
    </message>
    <message>
        <source>91~110</source>
        <translation>91~110</translation>
    </message>
    <message>
        <source>111~130</source>
        <translation>111~130</translation>
    </message>
    <message>
        <source>&gt;130</source>
        <translation>&gt;130</translation>
    </message>
    <message>
        <source>共收到数据：</source>
        <translation>Lines:</translation>
    </message>
    <message>
        <source>温馨提示：可设定 温度 P I D 温度补偿等参数;请按以下格式发送 (字母大小写皆可，后面一样)Sxxxx Pxxx Ixxx Dxxx Txxx (比如温度60度，则S0600 )</source>
        <translation>Tip: set temperature, P, I, D and more by sending Sxxxx Pxxx Ixxx Dxxx Txxx (any case; 60 °C is S0600)</translation>
    </message>
    <message>
        <source>发送数据</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>(╰_╯)# clear↑</source>
        <translation>(╰_╯)# clear↑</translation>
    </message>
    <message>
        <source>发送样本</source>
        <translation>Sample</translation>
    </message>
    <message>
        <source>运行时间/S</source>
        <translation>Run time/s</translation>
    </message>
    <message>
        <source>→&#x3000;←</source>
        <translation>→&#x3000;←</translation>
    </message>
    <message>
        <source>下 移</source>
        <translation>Down</translation>
    </message>
    <message>
        <source>上 移</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>←&#x3000;→</source>
        <translation>←&#x3000;→</translation>
    </message>
    <message>
        <source>右 移</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>左 移</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>放 大</source>
        <translation>Zoom +</translation>
    </message>
    <message>
        <source>缩 小</source>
        <translation>Zoom −</translation>
    </message>
    <message>
        <source>复 位</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>时间清零</source>
        <translation>Reset time</translation>
    </message>
    <message>
        <source>Frame7</source>
        <translation>Frame7</translation>
    </message>
    <message>
        <source>60</source>
        <translation>60</translation>
    </message>
    <message>
        <source>120</source>
        <translation>120</translation>
    </message>
    <message>
        <source>Command1</source>
        <translation>Command1</translation>
    </message>
    <message>
        <source>上升时间：</source>
        <translation>Rise:</translation>
    </message>
    <message>
        <source>超调量：</source>
        <translation>Oversh.:</translation>
    </message>
    <message>
        <source>峰值时间：</source>
        <translation>Peak:</translation>
    </message>
    <message>
        <source>调节时间：</source>
        <translation>Settle:</translation>
    </message>
    <message>
        <source>动态性能指标定义</source>
        <translation>Step response figures</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>termiva：窗口设计缺少控件 %1</source>
        <translation>termiva: the window&apos;s design lacks the controls %1</translation>
    </message>
</context>
</TS>
