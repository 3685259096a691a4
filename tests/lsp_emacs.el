;;; lsp_emacs.el --- drives `tracciato lsp' from Emacs and eglot in batch mode  -*- lexical-binding: t -*-
;;
;; Opens one file (as Windows-1252), waits for the server's diagnostics and
;; writes them, one a line, to TRACCIATO_OUT:
;;   line:column:code:message   (0-based, as the server counts)
;; then works the buffer as an author would and writes its lines after each
;; step to TRACCIATO_OUT.buffer: the quick fix of the first diagnostic with
;; code TRACCIATO_EDIT applied, the buffer formatted, a line "penden" added
;; before "[fine]" and completed.  Driven by TRACCIATO_EXE, TRACCIATO_FILE,
;; TRACCIATO_OUT, TRACCIATO_EDIT.  Works with Emacs 28 and elpa-eglot, and 29.

;; Emacs 28 finds eglot among Debian's elpa packages (emacs -Q leaves them out).
(dolist (d (file-expand-wildcards "/usr/share/emacs/site-lisp/elpa/*"))
  (add-to-list 'load-path d))
(require 'eglot)
(require 'cl-lib)
(require 'flymake)
(require 'seq)

(defvar tracciato-exe (getenv "TRACCIATO_EXE"))
(defvar tracciato-file (getenv "TRACCIATO_FILE"))
(defvar tracciato-out (getenv "TRACCIATO_OUT"))
(defvar tracciato-edit (getenv "TRACCIATO_EDIT"))

(define-derived-mode tracciato-mode fundamental-mode "Tracciato")

(defun tracciato-write (path lines)
  (with-temp-file path (insert (mapconcat #'identity lines "\n") "\n")))

(defun tracciato-wait (test seconds)
  "Waits for TEST to hold, up to SECONDS; whether it did."
  (let ((end (+ (float-time) seconds)))
    (while (and (not (funcall test)) (< (float-time) end))
      (accept-process-output nil 0.05))
    (funcall test)))

(defun tracciato-lines ()
  (split-string (buffer-substring-no-properties (point-min) (point-max)) "\n"))

(defvar tracciato-diagnostics nil "The last diagnostics the server published.")
(cl-defmethod eglot-handle-notification :before
  (_server (_method (eql textDocument/publishDiagnostics)) &key diagnostics &allow-other-keys)
  (setq tracciato-diagnostics (append diagnostics nil)))

(condition-case err
    (let* ((coding-system-for-read 'windows-1252)
           (buf (find-file-noselect tracciato-file))
           (dir (file-name-directory tracciato-file))
           (steps nil)
           (server nil))
      (set-buffer buf)
      (setq buffer-file-coding-system 'windows-1252-dos)
      (tracciato-mode)
      (setq server (eglot (list 'tracciato-mode) (cons 'transient dir) 'eglot-lsp-server
                          (list tracciato-exe "lsp") "tracciato"))
      (tracciato-wait (lambda () tracciato-diagnostics) 20)
      (tracciato-write
       tracciato-out
       (or (mapcar (lambda (d)
                     (let ((start (plist-get (plist-get d :range) :start)))
                       (format "%d:%d:%s:%s" (plist-get start :line) (plist-get start :character)
                               (plist-get d :code)
                               (replace-regexp-in-string "\n" " " (plist-get d :message)))))
                   tracciato-diagnostics)
           '("timeout")))
      (cl-flet ((snapshot (name) (setq steps (append steps (list (concat "== " name)) (tracciato-lines)))))
        ;; The quick fix of the diagnostic with the code asked for.
        (let ((d (seq-find (lambda (d) (equal (plist-get d :code) tracciato-edit)) tracciato-diagnostics)))
          (when d
            (let* ((line (plist-get (plist-get (plist-get d :range) :start) :line))
                   (actions (jsonrpc-request
                             server :textDocument/codeAction
                             (list :textDocument (eglot--TextDocumentIdentifier)
                                   :range (list :start (list :line line :character 0)
                                                :end (list :line line :character 0))
                                   :context (list :diagnostics (vector d))))))
              (when (> (length actions) 0)
                (eglot--apply-workspace-edit (plist-get (aref actions 0) :edit))))))
        (snapshot "fix")
        (eglot-format-buffer)
        (snapshot "format")
        (goto-char (point-max))
        (search-backward "[fine]")
        (insert "penden\n")
        (backward-char)
        (completion-at-point)
        (snapshot "completion"))
      (tracciato-write (concat tracciato-out ".buffer") steps)
      (ignore-errors (eglot-shutdown server))
      (kill-emacs 0))
  (error
   (tracciato-write tracciato-out (list (format "error: %S" err)))
   (kill-emacs 1)))
