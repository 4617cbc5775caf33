<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<!-- Hand-kept: the captions come from the dialog templates, the rest from tr() in ui/. -->
<context>
    <name>DialogTemplate</name>
    <message>
        <source>&amp;Convert</source>
        <translation>转换(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Format</source>
        <translation>格式编排(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>退出(&amp;Q)</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>帮助(&amp;H)</translation>
    </message>
    <message>
        <source>Clipboard</source>
        <translation>剪贴板</translation>
    </message>
    <message>
        <source>File</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>&amp;Browse</source>
        <translation>浏览(&amp;B)</translation>
    </message>
    <message>
        <source>B&amp;rowse</source>
        <translation>浏览(&amp;R)</translation>
    </message>
    <message>
        <source>Source Paragraph:</source>
        <translation>源段落：</translation>
    </message>
    <message>
        <source>Auto Detect</source>
        <translation>自动检测</translation>
    </message>
    <message>
        <source>One Line</source>
        <translation>单行</translation>
    </message>
    <message>
        <source>Empty Line</source>
        <translation>空行</translation>
    </message>
    <message>
        <source>Leading Spaces</source>
        <translation>行首空格</translation>
    </message>
    <message>
        <source>Force</source>
        <translation>强制</translation>
    </message>
    <message>
        <source>Heading:</source>
        <translation>标题：</translation>
    </message>
    <message>
        <source>Left</source>
        <translation>居左</translation>
    </message>
    <message>
        <source>Middle</source>
        <translation>居中</translation>
    </message>
    <message>
        <source>Right</source>
        <translation>居右</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>普通</translation>
    </message>
    <message>
        <source>Con&amp;vert English Punc</source>
        <translation>转换英文标点(&amp;V)</translation>
    </message>
    <message>
        <source>Auto Fi&amp;x</source>
        <translation>自动修正(&amp;X)</translation>
    </message>
    <message>
        <source>Natural S&amp;yntax</source>
        <translation>自然断行(&amp;Y)</translation>
    </message>
    <message>
        <source>Chars Per L&amp;ine:</source>
        <translation>每行字数(&amp;I)：</translation>
    </message>
    <message>
        <source>Li&amp;ne Spacing:</source>
        <translation>段间空行(&amp;N)：</translation>
    </message>
    <message>
        <source>Lead S&amp;paces:</source>
        <translation>段首空格(&amp;P)：</translation>
    </message>
    <message>
        <source>&amp;Left Margin:</source>
        <translation>左边距(&amp;L)：</translation>
    </message>
    <message>
        <source>Output Display:</source>
        <translation>输出显示：</translation>
    </message>
    <message>
        <source>S&amp;ource:</source>
        <translation>源(&amp;O)：</translation>
    </message>
    <message>
        <source>&amp;Destination:</source>
        <translation>目标(&amp;D)：</translation>
    </message>
    <message>
        <source>&amp;Simplified Chinese Font</source>
        <translation>简体中文字体(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Traditional Chinese Font</source>
        <translation>繁体中文字体(&amp;T)</translation>
    </message>
    <message>
        <source>Q&amp;uiet Mode</source>
        <translation>安静模式(&amp;U)</translation>
    </message>
    <message>
        <source>Phrases</source>
        <translation>词组</translation>
    </message>
    <message>
        <source>Regional &amp;Words</source>
        <translation>地区用词(&amp;W)</translation>
    </message>
    <message>
        <source>Word Lists…</source>
        <translation>词表…</translation>
    </message>
    <message>
        <source>Mixed Text</source>
        <translation>中西文混排</translation>
    </message>
    <message>
        <source>Space Between Scripts</source>
        <translation>中西文间加空格</translation>
    </message>
    <message>
        <source>Line-Start Rules</source>
        <translation>行首行尾禁则</translation>
    </message>
    <message>
        <source>Standard (&amp;K):</source>
        <translation>标准(&amp;K)：</translation>
    </message>
    <message>
        <source>Chapters</source>
        <translation>章节标题</translation>
    </message>
    <message>
        <source>Quotes (&amp;J):</source>
        <translation>引号(&amp;J)：</translation>
    </message>
    <message>
        <source>Keep</source>
        <translation>保持</translation>
    </message>
    <message>
        <source>Corner 「」</source>
        <translation>直角 「」</translation>
    </message>
    <message>
        <source>Curly “”</source>
        <translation>弯 “”</translation>
    </message>
    <message>
        <source>Pattern (&amp;Z):</source>
        <translation>标题模式(&amp;Z)：</translation>
    </message>
    <message>
        <source>About Quillon</source>
        <translation>关于 Quillon</translation>
    </message>
    <message>
        <source>Quillon Version 1.0</source>
        <translation>Quillon 版本 1.0</translation>
    </message>
    <message>
        <source>Chinese text converter and formatter</source>
        <translation>中文文本转换与排版工具</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>&amp;About Quillon...</source>
        <translation>关于 Quillon(&amp;A)...</translation>
    </message>
    <message>
        <source>Quillon</source>
        <translation>Quillon</translation>
    </message>
    <message>
        <source>HTML</source>
        <translation>HTML</translation>
    </message>
    <message>
        <source>&amp;Encoding:</source>
        <translation>编码(&amp;E)：</translation>
    </message>
    <message>
        <source>Encodin&amp;g:</source>
        <translation>编码(&amp;G)：</translation>
    </message>
    <message>
        <source>For&amp;m:</source>
        <translation>字形(&amp;M)：</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>自动</translation>
    </message>
    <message>
        <source>GB</source>
        <translation>GB</translation>
    </message>
    <message>
        <source>GBK</source>
        <translation>GBK</translation>
    </message>
    <message>
        <source>BIG5</source>
        <translation>BIG5</translation>
    </message>
    <message>
        <source>UTF-8</source>
        <translation>UTF-8</translation>
    </message>
    <message>
        <source>SAME</source>
        <translation>相同</translation>
    </message>
    <message>
        <source>DIFFERENT</source>
        <translation>不同</translation>
    </message>
    <message>
        <source>Simplified</source>
        <translation>简体</translation>
    </message>
    <message>
        <source>Traditional</source>
        <translation>繁体</translation>
    </message>
    <message>
        <source>Generic</source>
        <translation>通用</translation>
    </message>
    <message>
        <source>Taiwan</source>
        <translation>台湾</translation>
    </message>
    <message>
        <source>Hong Kong</source>
        <translation>香港</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Chars Per Line must be a number other than 0</source>
        <translation>每行字数必须是 0 以外的数字</translation>
    </message>
    <message>
        <source>The source %1 is not a regular file.</source>
        <translation>源 %1 不是普通文件。</translation>
    </message>
    <message>
        <source>GB (simplified)</source>
        <translation>GB（简体）</translation>
    </message>
    <message>
        <source>GBK (simplified)</source>
        <translation>GBK（简体）</translation>
    </message>
    <message>
        <source>BIG5 (traditional)</source>
        <translation>BIG5（繁体）</translation>
    </message>
    <message>
        <source>plain ASCII</source>
        <translation>纯 ASCII</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>done</source>
        <translation>完成</translation>
    </message>
    <message>
        <source>plain ASCII: nothing to format</source>
        <translation>纯 ASCII：无须排版</translation>
    </message>
    <message>
        <source>done with invalid characters replaced by □</source>
        <translation>完成，无效字符以 □ 替换</translation>
    </message>
    <message>
        <source>done with unconvertible characters replaced by □</source>
        <translation>完成，无法转换的字符以 □ 替换</translation>
    </message>
    <message>
        <source>done; HTML handling aborted at invalid syntax</source>
        <translation>完成；遇到无效语法，HTML 处理中止</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>失败</translation>
    </message>
    <message>
        <source>%1 → %2: </source>
        <translation>%1 → %2：</translation>
    </message>
    <message>
        <source>; %1 in %2 s</source>
        <translation>；%1，%2 秒</translation>
    </message>
    <message>
        <source>; the pane shows the first %1</source>
        <translation>；窗格只显示前 %1</translation>
    </message>
    <message>
        <source>; the pane keeps what it showed</source>
        <translation>；窗格内容不变</translation>
    </message>
    <message>
        <source>Settings are kept in %1</source>
        <translation>设置保存在 %1</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Converting…</source>
        <translation>转换中…</translation>
    </message>
    <message>
        <source>Formatting…</source>
        <translation>排版中…</translation>
    </message>
    <message>
        <source>Cancelled</source>
        <translation>已取消</translation>
    </message>
    <message>
        <source>The run ended unexpectedly; the destination may be incomplete.</source>
        <translation>运行意外结束；目标文件可能不完整。</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Unable to open source file</source>
        <translation>无法打开源文件</translation>
    </message>
    <message>
        <source>Unable to create destination file</source>
        <translation>无法创建目标文件</translation>
    </message>
    <message>
        <source>Out of memory</source>
        <translation>内存不足</translation>
    </message>
    <message>
        <source>Warning: Invalid Chinese character found</source>
        <translation>警告：发现无效的中文字符</translation>
    </message>
    <message>
        <source>Warning: Unable to convert some Chinese characters</source>
        <translation>警告：部分中文字符无法转换</translation>
    </message>
    <message>
        <source>Warning: Invalid HTML syntax encountered. HTML handling aborted</source>
        <translation>警告：遇到无效的 HTML 语法，HTML 处理中止</translation>
    </message>
    <message>
        <source>Warning: 1 character of the clipboard text could not be converted and was replaced.</source>
        <translation>警告：剪贴板文本中有 1 个字符无法转换，已被替换。</translation>
    </message>
    <message>
        <source>Warning: %1 characters of the clipboard text could not be converted and were replaced.</source>
        <translation>警告：剪贴板文本中有 %1 个字符无法转换，已被替换。</translation>
    </message>
    <message>
        <source>Warning: 1 character of the output could not be converted and was replaced.</source>
        <translation>警告：输出中有 1 个字符无法转换，已被替换。</translation>
    </message>
    <message>
        <source>Warning: %1 characters of the output could not be converted and were replaced.</source>
        <translation>警告：输出中有 %1 个字符无法转换，已被替换。</translation>
    </message>
    <message>
        <source>Fail to copy from clipboard</source>
        <translation>无法从剪贴板复制</translation>
    </message>
    <message>
        <source>No source filename is given.</source>
        <translation>没有给出源文件名。</translation>
    </message>
    <message>
        <source>No destination filename is given.</source>
        <translation>没有给出目标文件名。</translation>
    </message>
    <message>
        <source>The source and the destination are the same file.</source>
        <translation>源和目标是同一个文件。</translation>
    </message>
    <message>
        <source>Unable to read the output back from %1.</source>
        <translation>无法从 %1 读回输出。</translation>
    </message>
    <message>
        <source>Fail to paste to clipboard.</source>
        <translation>无法粘贴到剪贴板。</translation>
    </message>
    <message>
        <source>The output is %1, more than the clipboard takes (%2). Choose a file as the destination.</source>
        <translation>输出有 %1，超过剪贴板能容纳的大小（%2）。请选择文件作为目的地。</translation>
    </message>
    <message>
        <source>Failed to launch help.</source>
        <translation>无法打开帮助。</translation>
    </message>
    <message>
        <source>Cannot create a temporary file: the temporary folder does not exist</source>
        <translation>无法创建临时文件：临时文件夹不存在</translation>
    </message>
    <message>
        <source>Cannot create a temporary file in %1: %2</source>
        <translation>无法在 %1 中创建临时文件：%2</translation>
    </message>
    <message>
        <source>Cannot write the temporary file %1: %2</source>
        <translation>无法写入临时文件 %1：%2</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>所有文件 (*)</translation>
    </message>
    <message>
        <source>%1 (simplified)</source>
        <translation>%1（简体）</translation>
    </message>
    <message>
        <source>%1 (traditional)</source>
        <translation>%1（繁体）</translation>
    </message>
    <message>
        <source>Settings cannot be kept: %1</source>
        <translation>设置无法保存：%1</translation>
    </message>
    <message>
        <source>The clipboard text is empty: there is nothing to convert or format.</source>
        <translation>剪贴板中的文本是空的：没有可转换或格式编排的内容。</translation>
    </message>
    <message>
        <source>Quillon Help</source>
        <translation>Quillon 帮助</translation>
    </message>
    <message>
        <source>Not a text file (it holds NUL bytes)</source>
        <translation>不是文本文件（含有 NUL 字节）</translation>
    </message>
    <message>
        <source>The heading pattern is no regular expression</source>
        <translation>标题模式不是正则表达式</translation>
    </message>
    <message>
        <source>The heading pattern &apos;%1&apos; is no regular expression: %2</source>
        <translation>标题模式 '%1' 不是正则表达式：%2</translation>
    </message>
    <message>
        <source>Warning: a byte 1A at offset %1 ends the text; the bytes after it were not read</source>
        <translation>警告：偏移 %1 处的字节 1A 结束了文本；其后的字节未被读取</translation>
    </message>
    <message>
        <source>Warning: the character U+001A at offset %1 ends the text; the bytes after it were not read</source>
        <translation>警告：偏移 %1 处的字符 U+001A 结束了文本；其后的字节未被读取</translation>
    </message>
    <message>
        <source>; %1</source>
        <translation>；%1</translation>
    </message>
    <message>
        <source>Line Spacing must be a number, 0 or more</source>
        <translation>段间空行必须是 0 或更大的数字</translation>
    </message>
    <message>
        <source>Lead Spaces must be a number, 0 or more</source>
        <translation>段首空格必须是 0 或更大的数字</translation>
    </message>
    <message>
        <source>Left Margin must be a number, 0 or more</source>
        <translation>左边距必须是 0 或更大的数字</translation>
    </message>
    <message>
        <source>Word Lists</source>
        <translation>词表</translation>
    </message>
    <message>
        <source>Add…</source>
        <translation>添加…</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>移除</translation>
    </message>
    <message>
        <source>Your own words in OpenCC&apos;s text form: a simplified word, a tab, its traditional form. Runs with Phrases ticked and HTML unticked read the lists in this order; an earlier entry wins.</source>
        <translation>自定义词表，OpenCC 文本格式：简体词、制表符、其繁体。勾选“词组”且未勾选“HTML”的运行按此顺序读取各词表；先出现的条目优先。</translation>
    </message>
</context>
</TS>
