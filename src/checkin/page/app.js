// The attendee's side of the check-in: quick name checks, shrinking the photo before it
// crosses a crowded Wi-Fi, the upload with its progress and the answer. Plain ES5 so that the
// older browsers built into chat apps run it too. Names only ever enter the page as text.
(function () {
  'use strict';

  var MAX_SIDE = 1600;
  var QUALITY = 0.85;
  var MAX_CHARS = 16;

  var token = document.body.getAttribute('data-token') || '';
  var $ = function (id) { return document.getElementById(id); };
  var form = $('form');
  var photo = null;       // the shrunk JPEG as a Blob; null sends no photo
  var previewUrl = null;
  var busy = false;

  function show(el, on) { if (on) { el.removeAttribute('hidden'); } else { el.setAttribute('hidden', ''); } }

  function say(text) {
    $('error').textContent = text || '';
    show($('error'), !!text);
  }

  function note(text) {
    $('photo-note').textContent = text || '';
    show($('photo-note'), !!text);
  }

  // The server decides (it also knows GBK); this only answers sooner.
  function nameProblem(value, what, required) {
    if (value === '') { return required ? '请填写' + what : ''; }
    var chars = value.match(/[\s\S]/g) || [];
    var count = 0;
    for (var i = 0; i < chars.length; i++) {
      var c = chars[i].charCodeAt(0);
      count += (c >= 0xdc00 && c <= 0xdfff) ? 0 : 1;  // a surrogate pair counts once
    }
    if (count > MAX_CHARS) { return what + '最多 ' + MAX_CHARS + ' 个字'; }
    if (/[\u0000-\u001f\u007f-\u009f]/.test(value)) { return what + '中不能有控制字符'; }
    if (/[\/\\:*?"<>|]/.test(value)) { return what + '中不能有这些符号：/ \\ : * ? " < > |'; }
    if (value.indexOf('.') >= 0) { return what + '中不能有“.”'; }
    return '';
  }

  function trimmed(id) { return $(id).value.replace(/^[\s\u3000]+|[\s\u3000]+$/g, ''); }

  function setPreview(blob) {
    if (previewUrl && window.URL) { URL.revokeObjectURL(previewUrl); }
    previewUrl = blob && window.URL ? URL.createObjectURL(blob) : null;
    if (previewUrl) { $('preview-img').src = previewUrl; }
    show($('preview-img'), !!previewUrl);
    show($('preview-empty'), !previewUrl);
  }

  function dataUrlToBlob(url) {
    var parts = url.split(',');
    var bytes = atob(parts[1]);
    var array = new Uint8Array(bytes.length);
    for (var i = 0; i < bytes.length; i++) { array[i] = bytes.charCodeAt(i); }
    return new Blob([array], { type: 'image/jpeg' });
  }

  // Draws the picture at most MAX_SIDE on its long side and encodes it as JPEG. Calls back
  // with null when the browser cannot draw it (a HEIC file on most Android phones, say).
  function shrink(file, done) {
    if (!window.URL || !document.createElement('canvas').getContext) { done(null); return; }
    var url = URL.createObjectURL(file);
    var img = new Image();
    img.onload = function () {
      var w = img.naturalWidth, h = img.naturalHeight;
      URL.revokeObjectURL(url);
      if (!w || !h) { done(null); return; }
      var scale = Math.min(1, MAX_SIDE / Math.max(w, h));
      var canvas = document.createElement('canvas');
      canvas.width = Math.max(1, Math.round(w * scale));
      canvas.height = Math.max(1, Math.round(h * scale));
      var ctx = canvas.getContext('2d');
      ctx.fillStyle = '#fff';  // a transparent PNG becomes white, not black
      ctx.fillRect(0, 0, canvas.width, canvas.height);
      try {
        ctx.drawImage(img, 0, 0, canvas.width, canvas.height);
        if (canvas.toBlob) {
          canvas.toBlob(function (blob) { done(blob); }, 'image/jpeg', QUALITY);
        } else {
          done(dataUrlToBlob(canvas.toDataURL('image/jpeg', QUALITY)));
        }
      } catch (e) {
        done(null);
      }
    };
    img.onerror = function () { URL.revokeObjectURL(url); done(null); };
    img.src = url;
  }

  function pick(event) {
    var input = event.target;
    var file = input.files && input.files[0];
    if (!file) { return; }
    say('');
    note('正在处理照片…');
    $('send').disabled = true;
    shrink(file, function (blob) {
      $('send').disabled = false;
      photo = blob;
      setPreview(blob);
      note(blob ? '' : '这张照片无法在手机浏览器中处理，将为您生成姓名卡；也可以换一张照片。');
      input.value = '';  // choosing the same file again still counts as a choice
    });
  }

  function progress(fraction) {
    show($('progress'), fraction !== null);
    $('progress-bar').style.width = Math.round((fraction || 0) * 100) + '%';
  }

  function answerOf(xhr) {
    try { return JSON.parse(xhr.responseText); } catch (e) { return null; }
  }

  function failure(xhr) {
    var answer = answerOf(xhr);
    if (answer && answer.message) { return answer.message; }
    if (xhr.status === 403) { return '签到链接已失效，请重新扫描现场大屏幕上的二维码。'; }
    if (xhr.status === 0) { return '网络不通，请确认手机连接的是会场 Wi-Fi，然后重试。'; }
    return '签到没有成功，请稍后再试。';
  }

  function succeed(answer, name) {
    $('done-img').src = answer.photo ? 'data:image/jpeg;base64,' + answer.photo : '';
    show($('done-frame'), !!answer.photo);
    $('done-name').textContent = answer.name || name;
    var text = answer.status === 'replaced' ? '照片已更新。' : '';
    if (answer.nameCard) { text += '大屏幕上将显示您的姓名卡。'; }
    $('done-note').textContent = text;
    show(form, false);
    show($('done'), true);
    window.scrollTo(0, 0);
  }

  function send(event) {
    event.preventDefault();
    if (busy) { return; }
    var name = trimmed('name');
    var dept = trimmed('dept');
    var problem = nameProblem(name, '姓名', true) || nameProblem(dept, '部门', false);
    if (problem) { say(problem); return; }
    say('');
    busy = true;
    $('send').disabled = true;
    progress(0);

    var xhr = new XMLHttpRequest();
    xhr.open('POST', '/checkin?t=' + encodeURIComponent(token) + '&name=' +
      encodeURIComponent(name) + '&dept=' + encodeURIComponent(dept));
    xhr.timeout = 120000;
    if (xhr.upload) {
      xhr.upload.onprogress = function (e) { if (e.lengthComputable) { progress(e.loaded / e.total); } };
    }
    xhr.onloadend = function () {
      busy = false;
      $('send').disabled = false;
      progress(null);
      var answer = answerOf(xhr);
      if (xhr.status === 200 && answer && answer.status !== 'refused') {
        succeed(answer, name);
      } else {
        say(failure(xhr));
      }
    };
    if (photo) { xhr.setRequestHeader('Content-Type', 'image/jpeg'); }
    xhr.send(photo);
  }

  function again() {
    photo = null;
    setPreview(null);
    note('');
    show($('done'), false);
    show(form, true);
  }

  $('camera').addEventListener('change', pick);
  $('album').addEventListener('change', pick);
  form.addEventListener('submit', send);
  $('again').addEventListener('click', again);
})();
