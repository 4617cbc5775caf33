<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW" sourcelanguage="en">
<!-- Hand-kept: the captions come from the dialog templates, the rest from tr() in ui/. -->
<context>
    <name>DialogTemplate</name>
    <message>
        <source>&amp;Convert</source>
        <translation>轉換(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Format</source>
        <translation>格式編排(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>結束(&amp;Q)</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>說明(&amp;H)</translation>
    </message>
    <message>
        <source>Clipboard</source>
        <translation>剪貼簿</translation>
    </message>
    <message>
        <source>File</source>
        <translation>檔案</translation>
    </message>
    <message>
        <source>&amp;Browse</source>
        <translation>瀏覽(&amp;B)</translation>
    </message>
    <message>
        <source>B&amp;rowse</source>
        <translation>瀏覽(&amp;R)</translation>
    </message>
    <message>
        <source>Source Paragraph:</source>
        <translation>來源段落：</translation>
    </message>
    <message>
        <source>Auto Detect</source>
        <translation>自動偵測</translation>
    </message>
    <message>
        <source>One Line</source>
        <translation>單行</translation>
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
        <translation>強制</translation>
    </message>
    <message>
        <source>Heading:</source>
        <translation>標題：</translation>
    </message>
    <message>
        <source>Left</source>
        <translation>靠左</translation>
    </message>
    <message>
        <source>Middle</source>
        <translation>置中</translation>
    </message>
    <message>
        <source>Right</source>
        <translation>靠右</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>一般</translation>
    </message>
    <message>
        <source>Con&amp;vert English Punc</source>
        <translation>轉換英文標點(&amp;V)</translation>
    </message>
    <message>
        <source>Auto Fi&amp;x</source>
        <translation>自動修正(&amp;X)</translation>
    </message>
    <message>
        <source>Natural S&amp;yntax</source>
        <translation>自然斷行(&amp;Y)</translation>
    </message>
    <message>
        <source>Chars Per L&amp;ine:</source>
        <translation>每行字數(&amp;I)：</translation>
    </message>
    <message>
        <source>Li&amp;ne Spacing:</source>
        <translation>段間空行(&amp;N)：</translation>
    </message>
    <message>
        <source>Lead S&amp;paces:</source>
        <translation>段首空格(&amp;P)：</translation>
    </message>
    <message>
        <source>&amp;Left Margin:</source>
        <translation>左邊界(&amp;L)：</translation>
    </message>
    <message>
        <source>Output Display:</source>
        <translation>輸出顯示：</translation>
    </message>
    <message>
        <source>S&amp;ource:</source>
        <translation>來源(&amp;O)：</translation>
    </message>
    <message>
        <source>&amp;Destination:</source>
        <translation>目的地(&amp;D)：</translation>
    </message>
    <message>
        <source>&amp;Simplified Chinese Font</source>
        <translation>簡體中文字型(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Traditional Chinese Font</source>
        <translation>繁體中文字型(&amp;T)</translation>
    </message>
    <message>
        <source>Q&amp;uiet Mode</source>
        <translation>安靜模式(&amp;U)</translation>
    </message>
    <message>
        <source>Phrases</source>
        <translation>詞組</translation>
    </message>
    <message>
        <source>Regional &amp;Words</source>
        <translation>地區用詞(&amp;W)</translation>
    </message>
    <message>
        <source>Word Lists…</source>
        <translation>詞表…</translation>
    </message>
    <message>
        <source>Mixed Text</source>
        <translation>中西文混排</translation>
    </message>
    <message>
        <source>Space Between Scripts</source>
        <translation>中西文間加空格</translation>
    </message>
    <message>
        <source>Line-Start Rules</source>
        <translation>行首行尾禁則</translation>
    </message>
    <message>
        <source>Standard (&amp;K):</source>
        <translation>標準(&amp;K)：</translation>
    </message>
    <message>
        <source>Chapters</source>
        <translation>章節標題</translation>
    </message>
    <message>
        <source>Quotes (&amp;J):</source>
        <translation>引號(&amp;J)：</translation>
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
        <translation>彎 “”</translation>
    </message>
    <message>
        <source>Pattern (&amp;Z):</source>
        <translation>標題模式(&amp;Z)：</translation>
    </message>
    <message>
        <source>About Quillon</source>
        <translation>關於 Quillon</translation>
    </message>
    <message>
        <source>Quillon Version 1.0</source>
        <translation>Quillon 版本 1.0</translation>
    </message>
    <message>
        <source>Chinese text converter and formatter</source>
        <translation>中文文字轉換與排版工具</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>確定</translation>
    </message>
    <message>
        <source>&amp;About Quillon...</source>
        <translation>關於 Quillon(&amp;A)...</translation>
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
        <translation>編碼(&amp;E)：</translation>
    </message>
    <message>
        <source>Encodin&amp;g:</source>
        <translation>編碼(&amp;G)：</translation>
    </message>
    <message>
        <source>For&amp;m:</source>
        <translation>字形(&amp;M)：</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>自動</translation>
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
        <translation>相異</translation>
    </message>
    <message>
        <source>Simplified</source>
        <translation>簡體</translation>
    </message>
    <message>
        <source>Traditional</source>
        <translation>繁體</translation>
    </message>
    <message>
        <source>Generic</source>
        <translation>通用</translation>
    </message>
    <message>
        <source>Taiwan</source>
        <translation>臺灣</translation>
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
        <translation>每行字數必須是 0 以外的數字</translation>
    </message>
    <message>
        <source>The source %1 is not a regular file.</source>
        <translation>來源 %1 不是一般檔案。</translation>
    </message>
    <message>
        <source>GB (simplified)</source>
        <translation>GB（簡體）</translation>
    </message>
    <message>
        <source>GBK (simplified)</source>
        <translation>GBK（簡體）</translation>
    </message>
    <message>
        <source>BIG5 (traditional)</source>
        <translation>BIG5（繁體）</translation>
    </message>
    <message>
        <source>plain ASCII</source>
        <translation>純 ASCII</translation>
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
        <translation>純 ASCII：無須排版</translation>
    </message>
    <message>
        <source>done with invalid characters replaced by □</source>
        <translation>完成，無效字元以 □ 取代</translation>
    </message>
    <message>
        <source>done with unconvertible characters replaced by □</source>
        <translation>完成，無法轉換的字元以 □ 取代</translation>
    </message>
    <message>
        <source>done; HTML handling aborted at invalid syntax</source>
        <translation>完成；遇到無效語法，HTML 處理中止</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>失敗</translation>
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
        <translation>；窗格只顯示前 %1</translation>
    </message>
    <message>
        <source>; the pane keeps what it showed</source>
        <translation>；窗格內容不變</translation>
    </message>
    <message>
        <source>Settings are kept in %1</source>
        <translation>設定儲存於 %1</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Converting…</source>
        <translation>轉換中…</translation>
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
        <translation>執行意外結束；目的檔可能不完整。</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>錯誤</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Unable to open source file</source>
        <translation>無法開啟來源檔案</translation>
    </message>
    <message>
        <source>Unable to create destination file</source>
        <translation>無法建立目的檔案</translation>
    </message>
    <message>
        <source>Out of memory</source>
        <translation>記憶體不足</translation>
    </message>
    <message>
        <source>Warning: Invalid Chinese character found</source>
        <translation>警告：發現無效的中文字元</translation>
    </message>
    <message>
        <source>Warning: Unable to convert some Chinese characters</source>
        <translation>警告：部分中文字元無法轉換</translation>
    </message>
    <message>
        <source>Warning: Invalid HTML syntax encountered. HTML handling aborted</source>
        <translation>警告：遇到無效的 HTML 語法，HTML 處理中止</translation>
    </message>
    <message>
        <source>Warning: 1 character of the clipboard text could not be converted and was replaced.</source>
        <translation>警告：剪貼簿文字中有 1 個字元無法轉換，已被取代。</translation>
    </message>
    <message>
        <source>Warning: %1 characters of the clipboard text could not be converted and were replaced.</source>
        <translation>警告：剪貼簿文字中有 %1 個字元無法轉換，已被取代。</translation>
    </message>
    <message>
        <source>Warning: 1 character of the output could not be converted and was replaced.</source>
        <translation>警告：輸出中有 1 個字元無法轉換，已被取代。</translation>
    </message>
    <message>
        <source>Warning: %1 characters of the output could not be converted and were replaced.</source>
        <translation>警告：輸出中有 %1 個字元無法轉換，已被取代。</translation>
    </message>
    <message>
        <source>Fail to copy from clipboard</source>
        <translation>無法從剪貼簿複製</translation>
    </message>
    <message>
        <source>No source filename is given.</source>
        <translation>沒有指定來源檔名。</translation>
    </message>
    <message>
        <source>No destination filename is given.</source>
        <translation>沒有指定目的檔名。</translation>
    </message>
    <message>
        <source>The source and the destination are the same file.</source>
        <translation>來源和目的地是同一個檔案。</translation>
    </message>
    <message>
        <source>Unable to read the output back from %1.</source>
        <translation>無法從 %1 讀回輸出。</translation>
    </message>
    <message>
        <source>Fail to paste to clipboard.</source>
        <translation>無法貼上到剪貼簿。</translation>
    </message>
    <message>
        <source>The output is %1, more than the clipboard takes (%2). Choose a file as the destination.</source>
        <translation>輸出有 %1，超過剪貼簿能容納的大小（%2）。請選擇檔案作為目的地。</translation>
    </message>
    <message>
        <source>Failed to launch help.</source>
        <translation>無法開啟說明。</translation>
    </message>
    <message>
        <source>Cannot create a temporary file: the temporary folder does not exist</source>
        <translation>無法建立暫存檔：暫存資料夾不存在</translation>
    </message>
    <message>
        <source>Cannot create a temporary file in %1: %2</source>
        <translation>無法在 %1 中建立暫存檔：%2</translation>
    </message>
    <message>
        <source>Cannot write the temporary file %1: %2</source>
        <translation>無法寫入暫存檔 %1：%2</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>所有檔案 (*)</translation>
    </message>
    <message>
        <source>%1 (simplified)</source>
        <translation>%1（簡體）</translation>
    </message>
    <message>
        <source>%1 (traditional)</source>
        <translation>%1（繁體）</translation>
    </message>
    <message>
        <source>Settings cannot be kept: %1</source>
        <translation>設定無法儲存：%1</translation>
    </message>
    <message>
        <source>The clipboard text is empty: there is nothing to convert or format.</source>
        <translation>剪貼簿中的文字是空的：沒有可轉換或格式編排的內容。</translation>
    </message>
    <message>
        <source>Quillon Help</source>
        <translation>Quillon 說明</translation>
    </message>
    <message>
        <source>Not a text file (it holds NUL bytes)</source>
        <translation>不是文字檔（含有 NUL 位元組）</translation>
    </message>
    <message>
        <source>The heading pattern is no regular expression</source>
        <translation>標題模式不是正規表示式</translation>
    </message>
    <message>
        <source>The heading pattern &apos;%1&apos; is no regular expression: %2</source>
        <translation>標題模式 '%1' 不是正規表示式：%2</translation>
    </message>
    <message>
        <source>Warning: a byte 1A at offset %1 ends the text; the bytes after it were not read</source>
        <translation>警告：位移 %1 處的位元組 1A 結束了文字；其後的位元組未被讀取</translation>
    </message>
    <message>
        <source>Warning: the character U+001A at offset %1 ends the text; the bytes after it were not read</source>
        <translation>警告：位移 %1 處的字元 U+001A 結束了文字；其後的位元組未被讀取</translation>
    </message>
    <message>
        <source>; %1</source>
        <translation>；%1</translation>
    </message>
    <message>
        <source>Line Spacing must be a number, 0 or more</source>
        <translation>段間空行必須是 0 或更大的數字</translation>
    </message>
    <message>
        <source>Lead Spaces must be a number, 0 or more</source>
        <translation>段首空格必須是 0 或更大的數字</translation>
    </message>
    <message>
        <source>Left Margin must be a number, 0 or more</source>
        <translation>左邊界必須是 0 或更大的數字</translation>
    </message>
    <message>
        <source>Word Lists</source>
        <translation>詞表</translation>
    </message>
    <message>
        <source>Add…</source>
        <translation>新增…</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>移除</translation>
    </message>
    <message>
        <source>Your own words in OpenCC&apos;s text form: a simplified word, a tab, its traditional form. Runs with Phrases ticked and HTML unticked read the lists in this order; an earlier entry wins.</source>
        <translation>自訂詞表，OpenCC 文字格式：簡體詞、定位字元、其繁體。勾選「詞組」且未勾選「HTML」的執行依此順序讀取各詞表；先出現的條目優先。</translation>
    </message>
</context>
</TS>
