<?php
// A small upload receiver for Pagewell in PHP: put it on a PHP-enabled web
// server (or try it with `php -S 127.0.0.1:8080 upload_receiver.php`) and
// point the control's UploadURL at it.
//
// It stores every posted file in the folder "uploads" beside this script,
// under the file name the client gave reduced to safe characters (never a
// path), and answers with one short line of text, which the control keeps
// as UploadReturnString. Form variables added with AddFormVar arrive in
// $_POST like any form field.

$folder = __DIR__ . DIRECTORY_SEPARATOR . 'uploads';

function answer(int $status, string $text): void {
    http_response_code($status);
    header('Content-Type: text/plain; charset=utf-8');
    echo $text, "\n";
    exit;
}

// Keeps the last path component (browsers of old sent the whole client
// path), replaces anything unusual and refuses hidden or empty names.
function safe_name(string $name): string {
    $parts = preg_split('#[\\\\/]#', $name);
    $name = preg_replace('/[^A-Za-z0-9._ -]/', '_', trim(end($parts)));
    $name = substr(ltrim($name, '.'), 0, 200);
    return $name === '' ? 'upload.bin' : $name;
}

if ($_SERVER['REQUEST_METHOD'] !== 'POST') {
    answer(200, 'Pagewell upload receiver: POST multipart/form-data here');
}
if (empty($_FILES)) {
    answer(400, 'no file in the upload');
}
if (!is_dir($folder) && !mkdir($folder, 0755, true)) {
    answer(500, 'cannot create the upload folder');
}

$stored = [];
foreach ($_FILES as $field => $file) {
    if ($file['error'] !== UPLOAD_ERR_OK) {
        answer(400, "upload of $field failed (error {$file['error']})");
    }
    $name = safe_name($file['name']);
    if (!move_uploaded_file($file['tmp_name'], $folder . DIRECTORY_SEPARATOR . $name)) {
        answer(500, "cannot store $name");
    }
    $stored[] = sprintf('%s=%s (%d bytes)', $field, $name, $file['size']);
}
$fields = [];
foreach ($_POST as $key => $value) {
    $fields[] = "$key=$value";
}
answer(200, 'OK stored ' . implode(', ', $stored) . ($fields ? '; fields ' . implode(', ', $fields) : ''));
